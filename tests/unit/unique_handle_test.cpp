// The handle owner releases exactly once, and never a handle it gave away.
#include <gtest/gtest.h>

#include <vector>

#include "platform/unique_handle.h"

namespace corvale {
namespace {

std::vector<int> released;

struct CountingTraits {
    using Handle = int;
    static constexpr int Invalid() { return 0; }
    static void Release(int h) { released.push_back(h); }
};
using Owned = UniqueHandle<CountingTraits>;

TEST(UniqueHandle, ReleasesOnceWhenTheLastOwnerGoes) {
    released.clear();
    {
        Owned a(7);
        Owned b(std::move(a));
        EXPECT_FALSE(a);
        EXPECT_EQ(b.get(), 7);
        Owned c;
        c = std::move(b);
        EXPECT_TRUE(released.empty());
    }
    EXPECT_EQ(released, std::vector<int>{7});
}

TEST(UniqueHandle, ResetReleasesTheOldHandleAndReleaseGivesItAway) {
    released.clear();
    Owned a(1);
    a.reset(2);
    EXPECT_EQ(released, std::vector<int>{1});
    const int given = a.release();
    EXPECT_EQ(given, 2);
    a.reset();
    Owned b(3);
    b = std::move(b);  // self-move keeps the handle
    EXPECT_EQ(b.get(), 3);
    b = Owned(4);
    EXPECT_EQ(released, (std::vector<int>{1, 3}));
}

}  // namespace
}  // namespace corvale
