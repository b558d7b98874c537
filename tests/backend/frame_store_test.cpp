// Large animation frames kept compressed: they decode to the same pixels as
// a picture decoded at once, also after the cache has let them go.
#include <gtest/gtest.h>

#include <windows.h>

#include "platform/win32/frame_store.h"
#include "tests/backend/toolkit_test_support.h"

namespace corvale::win32 {
namespace {

using testing::AnimatedGif;
using testing::CutFrames;
using testing::GifFrame;

// 300 x 300 (360 000 bytes decoded): a full first frame, red above blue, then
// frames that each repaint one square in green or white, as a recording does.
std::vector<std::vector<std::uint8_t>> Recording(int squares) {
    std::vector<int> first(300 * 300, 2);
    std::fill(first.begin(), first.begin() + 150 * 300, 0);
    std::vector<GifFrame> frames{GifFrame{1, 0, 0, 300, 300, first}};
    for (int n = 0; n < squares; ++n)
        frames.push_back(GifFrame{1, 20 * n, 10 * n, 40, 30, std::vector<int>(40 * 30, 1 + 2 * (n % 2))});
    return CutFrames(AnimatedGif(300, 300, frames));
}

TEST(FrameStoreTest, LargeFramesKeepTheirBytesAndDrawTheirOwnPixelsAfterTheCacheLetThemGo) {
    PictureDecoder decoder;
    FrameStore store(decoder);
    const auto cut = Recording(static_cast<int>(kCachedFrames) + 2);
    std::vector<PicturePtr> kept;
    for (const auto& bytes : cut) {
        kept.push_back(store.Load(bytes));
        ASSERT_TRUE(kept.back());
        EXPECT_TRUE(DecodesWhenDrawn(kept.back()));
        EXPECT_EQ(kept.back()->Width(), 300);
        EXPECT_EQ(kept.back()->Height(), 300);
    }
    // Twice round: the first frames were pushed out of the cache long ago.
    for (int round = 0; round < 2; ++round)
        for (std::size_t f = 0; f < cut.size(); ++f) {
            const auto drawable = DrawableNow(kept[f]);
            ASSERT_TRUE(drawable) << f;
            EXPECT_EQ(drawable->Rgb24(), decoder.FromBytes(cut[f])->Rgb24()) << f;
        }
}

TEST(FrameStoreTest, SmallPicturesStayDecodedAndBrokenOnesGiveNothing) {
    PictureDecoder decoder;
    FrameStore store(decoder);
    const auto small = CutFrames(AnimatedGif(4, 2, {GifFrame{10, 0, 0, 4, 2, {0, 1, 2, 3, 3, 2, 1, 0}}}));
    const PicturePtr picture = store.Load(small.at(0));
    ASSERT_TRUE(picture);
    EXPECT_FALSE(DecodesWhenDrawn(picture));
    const std::vector<std::uint8_t> broken{'G', 'I', 'F', '8', '9', 'a', 1, 2, 3};
    EXPECT_FALSE(store.Load(broken));
}

TEST(FrameStoreTest, AFrameThatOutlivesItsStoreDrawsNothing) {
    PictureDecoder decoder;
    PicturePtr orphan;
    {
        FrameStore store(decoder);
        orphan = store.Load(Recording(0).at(0));
        ASSERT_TRUE(DecodesWhenDrawn(orphan));
    }
    EXPECT_FALSE(DrawableNow(orphan));
    EXPECT_TRUE(orphan->Rgb24().empty());
}

}  // namespace
}  // namespace corvale::win32
