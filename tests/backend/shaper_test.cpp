// Colour keys and window regions on real windows.
#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "platform/win32/shaper_win32.h"
#include "service_test_support.h"

namespace corvale::win32 {
namespace {

using testing::MakeTestWindow;

WindowHandle Handle(const UniqueWindow& window) { return reinterpret_cast<WindowHandle>(window.get()); }

// The window's region as the system holds it now (a copy of our own).
UniqueRegion RegionOf(HWND window, int& kind) {
    UniqueRegion copy(CreateRectRgn(0, 0, 0, 0));
    kind = GetWindowRgn(window, copy.get());
    return copy;
}

TEST(Win32Shaper_Region, MakesTheUnionOfTheRectanglesWithRightAndBottomEdgesLeftOut) {
    const UniqueWindow window = MakeTestWindow("Corvale svc region", true);
    ASSERT_TRUE(window);
    Win32Shaper shaper;
    // A row mask, mask, opaque, opaque, mask, opaque, and two full rows.
    const std::vector<Rect> runs{{2, 0, 4, 1}, {5, 0, 6, 1}, {0, 1, 6, 2}, {0, 2, 6, 3}};
    ASSERT_TRUE(shaper.SetRegion(Handle(window), runs));

    int kind = ERROR;
    const UniqueRegion region = RegionOf(window.get(), kind);
    EXPECT_EQ(kind, COMPLEXREGION);
    const struct {
        int x, y;
        bool inside;
    } points[] = {
        {0, 0, false}, {1, 0, false}, {2, 0, true}, {3, 0, true},  {4, 0, false}, {5, 0, true},
        {6, 0, false}, {0, 1, true},  {5, 2, true}, {6, 2, false}, {0, 3, false}, {50, 40, false},
    };
    for (const auto& p : points) {
        SCOPED_TRACE(std::to_string(p.x) + "," + std::to_string(p.y));
        EXPECT_EQ(PtInRegion(region.get(), p.x, p.y) != FALSE, p.inside);
    }
    RECT box{};
    GetRgnBox(region.get(), &box);
    EXPECT_EQ(box.right, 6);
    EXPECT_EQ(box.bottom, 3);
}

TEST(Win32Shaper_Region, GivesAWindowWithoutRectanglesAnEmptyShape) {
    const UniqueWindow window = MakeTestWindow("Corvale svc empty region", true);
    ASSERT_TRUE(window);
    Win32Shaper shaper;
    ASSERT_TRUE(shaper.SetRegion(Handle(window), {}));
    int kind = ERROR;
    const UniqueRegion region = RegionOf(window.get(), kind);
    EXPECT_EQ(kind, NULLREGION);
}

TEST(Win32Shaper_Region, ReplacesAnEarlierRegion) {
    const UniqueWindow window = MakeTestWindow("Corvale svc second region", true);
    ASSERT_TRUE(window);
    Win32Shaper shaper;
    ASSERT_TRUE(shaper.SetRegion(Handle(window), {{0, 0, 10, 10}}));
    ASSERT_TRUE(shaper.SetRegion(Handle(window), {{20, 20, 30, 30}}));
    int kind = ERROR;
    const UniqueRegion region = RegionOf(window.get(), kind);
    EXPECT_EQ(kind, SIMPLEREGION);
    EXPECT_FALSE(PtInRegion(region.get(), 5, 5));
    EXPECT_TRUE(PtInRegion(region.get(), 25, 25));
}

TEST(Win32Shaper_ColorKey, MakesTheWindowLayeredWithTheKeyAsItsOnlyAttribute) {
    const UniqueWindow window = MakeTestWindow("Corvale svc colour key", true);
    ASSERT_TRUE(window);
    Win32Shaper shaper;
    const struct {
        Color key;
        COLORREF expected;
    } keys[] = {{Rgb(255, 0, 255), RGB(255, 0, 255)}, {Rgb(10, 20, 30), RGB(10, 20, 30)}, {0, RGB(0, 0, 0)}};
    for (const auto& k : keys) {
        SCOPED_TRACE(k.key);
        ASSERT_TRUE(shaper.SetColorKey(Handle(window), k.key));
        EXPECT_TRUE(GetWindowLongPtrW(window.get(), GWL_EXSTYLE) & WS_EX_LAYERED);
        COLORREF key = 0;
        BYTE alpha = 0;
        DWORD flags = 0;
        ASSERT_TRUE(GetLayeredWindowAttributes(window.get(), &key, &alpha, &flags));
        EXPECT_EQ(key, k.expected);
        EXPECT_EQ(flags, static_cast<DWORD>(LWA_COLORKEY));
    }
}

TEST(Win32Shaper, FailsForAWindowThatIsGone) {
    UniqueWindow window = MakeTestWindow("Corvale svc gone", true);
    ASSERT_TRUE(window);
    const WindowHandle gone = Handle(window);
    window.reset();
    Win32Shaper shaper;
    EXPECT_FALSE(shaper.SetRegion(gone, {{0, 0, 4, 4}}));
    EXPECT_FALSE(shaper.SetColorKey(gone, 0));
}

}  // namespace
}  // namespace corvale::win32
