// Start-up as a user sees it: where the window goes, what it looks like,
// which layout skin it takes, the remote-control reset and the second start.
#include "tests/e2e/driver.h"

namespace corvale::e2e {
namespace {

constexpr Rgb kSkyBlue{0, 128, 255};
constexpr Rgb kCrimson{200, 40, 90};

// A few points inside the window, clear of the edges.
std::vector<POINT> InnerPoints(const Box& b) {
    return {PointIn(b, 0.5, 0.5), PointIn(b, 0.05, 0.05), PointIn(b, 0.95, 0.05), PointIn(b, 0.05, 0.95),
            PointIn(b, 0.95, 0.95)};
}

// Gives the face a moment to paint; the colour seen last, for the message.
Rgb ColourOnceSettled(POINT p, Rgb expected) {
    WaitUntil([&] { return ScreenPixel(p.x, p.y) == expected; }, 5s);
    return ScreenPixel(p.x, p.y);
}

std::string BackGroundSkin(Rgb c) { return "[DEFAULT]\nBackGround=" + SkinColor(c) + "\n"; }

using StartupWindow = PanelTest;

TEST_F(StartupWindow, RunningTakesTheSavedRectangleWithNeitherBorderNorTitleBar) {
    PlaceWindow(100, 50, 900, 650);
    const HWND window = StartPanelAndWait();
    ASSERT_TRUE(window);
    const Box expected = Scaled(Box{100, 50, 900, 650});
    WaitUntil([&] { return WindowRect(window) == expected; }, 2s);
    EXPECT_EQ(WindowRect(window), expected);
    EXPECT_EQ(ClientRectOnScreen(window), WindowRect(window)) << "a frame takes part of the window";
    EXPECT_EQ(WindowStyle(window) & (WS_CAPTION | WS_THICKFRAME), 0);
    EXPECT_EQ(WindowText(window), kCaption);
}

using StartupLayoutSkin = PanelTest;

// The skin named after this screen's width in skin pixels, Corvale1024.skn
// on our test display.
std::string WidthSkinName() {
    return std::string(kProgramId) + std::to_string(ScreenInSkinPixels().right) + ".skn";
}

// The choice between the skins is the start-up rules' (unit tests); this is
// the wiring: the screen's real width picks the skin, whose colour fills
// the whole face.
TEST_F(StartupLayoutSkin, TheSkinForThisScreenWidthFillsTheFaceWithItsBackGround) {
    theme_->WriteSkin("Corvale.skn", BackGroundSkin(kSkyBlue));
    theme_->WriteSkin(WidthSkinName(), BackGroundSkin(kCrimson));
    PlaceWindow(100, 50, 900, 650);
    const HWND window = StartPanelAndWait();
    ASSERT_TRUE(window);
    for (const POINT p : InnerPoints(WindowRect(window)))
        EXPECT_EQ(ColourOnceSettled(p, kCrimson), kCrimson) << "at " << p.x << ", " << p.y;
}

using StartupShortcut = PanelTest;

// A shortcut's "Run" setting reaches the program as its start-up show
// command, which Windows may apply to the first window shown: a maximised
// borderless panel would cover the taskbar.
TEST_F(StartupShortcut, SetToMaximisedKeepsThePanelInItsPlace) {
    PlaceWindow(100, 50, 900, 650);
    const HWND window = StartPanel(SW_SHOWMAXIMIZED).WaitForWindow();
    ASSERT_TRUE(window);
    WaitUntil([&] { return WindowRect(window) == Box{100, 50, 900, 650}; }, 2s);
    EXPECT_FALSE(IsZoomed(window));
    EXPECT_EQ(WindowRect(window), (Box{100, 50, 900, 650}));
}

using StartupSingleInstance = PanelTest;

TEST_F(StartupSingleInstance, ASecondStartEndsQuicklyWritesNothingAndLeavesTheFirstWindow) {
    PlaceWindow(100, 50, 900, 650);
    Panel& first = StartPanel();
    const HWND window = first.WaitForWindow();
    ASSERT_TRUE(window);
    const std::string sentinel = "left by the test";
    SaveSetting("EXIT", kCaption, sentinel);

    Panel& second = StartPanel();
    EXPECT_TRUE(second.WaitForExit(2s)) << "the second start is still running after 2 s";
    EXPECT_EQ(GetSetting("EXIT", kCaption), sentinel);
    EXPECT_TRUE(first.Running());
    EXPECT_TRUE(IsWindow(window) && IsWindowVisible(window));
    EXPECT_EQ(FindWindowByCaption(kCaption), window);
    EXPECT_EQ(WindowRect(window), Scaled(Box{100, 50, 900, 650}));
    // Lifted through a moment of topmost, which must not last.
    WaitUntil([&] { return (WindowExStyle(window) & WS_EX_TOPMOST) == 0; }, 2s);
    EXPECT_EQ(WindowExStyle(window) & WS_EX_TOPMOST, 0) << "raising the first window left it topmost";
}

TEST_F(StartupSingleInstance, AShortcutSetToMinimisedStartsItMinimisedAndASecondStartRestoresIt) {
    PlaceWindow(100, 50, 900, 650);
    Panel& first = StartPanel(SW_SHOWMINNOACTIVE);
    const HWND window = first.WaitForWindow();
    ASSERT_TRUE(window);
    EXPECT_TRUE(WaitUntil([&] { return IsIconic(window) != FALSE; }, 2s)) << "not started minimised";

    Panel& second = StartPanel();
    EXPECT_TRUE(second.WaitForExit(2s));
    const Box placed{100, 50, 900, 650};
    WaitUntil([&] { return !IsIconic(window) && WindowRect(window) == placed; }, 2s);
    EXPECT_FALSE(IsIconic(window)) << "the first panel stayed minimised";
    EXPECT_EQ(WindowRect(window), placed);
}

}  // namespace
}  // namespace corvale::e2e
