// Start-up as a user sees it: where the window goes, what it looks like,
// which layout skin it takes, the remote-control reset and the second start.
#include "tests/e2e/driver.h"

namespace corvale::e2e {
namespace {

constexpr Rgb kSkyBlue{0, 128, 255};
constexpr Rgb kCrimson{200, 40, 90};
constexpr Rgb kMoss{70, 110, 30};

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

TEST_F(StartupWindow, NotRunningCoversTheWorkAreaExactlyWhateverTheSavedRectangle) {
    PlaceWindow(100, 50, 900, 650);
    SaveSetting("General", "Running", "False");
    const HWND window = StartPanelAndWait();
    ASSERT_TRUE(window);
    const Box area = Scaled(Unscaled(WorkArea()));  // in whole skin pixels
    WaitUntil([&] { return WindowRect(window) == area; }, 2s);
    EXPECT_EQ(WindowRect(window), area);
    EXPECT_EQ(ClientRectOnScreen(window), area);
}

TEST_F(StartupWindow, TheLayoutSkinsBackGroundFillsTheFace) {
    theme_->WriteSkin("Corvale.skn", BackGroundSkin(kSkyBlue));
    PlaceWindow(100, 50, 900, 650);
    const HWND window = StartPanelAndWait();
    ASSERT_TRUE(window);
    for (const POINT p : InnerPoints(WindowRect(window)))
        EXPECT_EQ(ColourOnceSettled(p, kSkyBlue), kSkyBlue) << "at " << p.x << ", " << p.y;
}

using StartupLayoutSkin = PanelTest;

// The skin named after this screen's width in skin pixels, Corvale1024.skn
// on our test display.
std::string WidthSkinName() {
    return std::string(kProgramId) + std::to_string(ScreenInSkinPixels().right) + ".skn";
}

TEST_F(StartupLayoutSkin, TheSkinForThisScreenWidthWinsWhenItHasABackGround) {
    theme_->WriteSkin("Corvale.skn", BackGroundSkin(kSkyBlue));
    theme_->WriteSkin(WidthSkinName(), BackGroundSkin(kCrimson));
    PlaceWindow(100, 50, 900, 650);
    const HWND window = StartPanelAndWait();
    ASSERT_TRUE(window);
    const POINT centre = PointIn(WindowRect(window), 0.5, 0.5);
    EXPECT_EQ(ColourOnceSettled(centre, kCrimson), kCrimson);
}

TEST_F(StartupLayoutSkin, TheSkinForThisScreenWidthIsIgnoredWithoutADefaultBackGround) {
    theme_->WriteSkin("Corvale.skn", BackGroundSkin(kSkyBlue));
    // A BackGround in another section does not count.
    theme_->WriteSkin(WidthSkinName(),
                      "[DEFAULT]\nAnimDelay=0\n[INFO]\nBackGround=" + SkinColor(kCrimson) + "\n");
    PlaceWindow(100, 50, 900, 650);
    const HWND window = StartPanelAndWait();
    ASSERT_TRUE(window);
    const POINT centre = PointIn(WindowRect(window), 0.5, 0.5);
    EXPECT_EQ(ColourOnceSettled(centre, kSkyBlue), kSkyBlue);
}

TEST_F(StartupLayoutSkin, AProgramDirWithoutTrailingSeparatorRunsIntoTheThemeDir) {
    // ProgramDir "<root>\Panel" and ThemeDir "Blue\" name "<root>\PanelBlue\",
    // not "<root>\Panel\Blue\".
    theme_->WriteSkin("..\\Panel\\Blue\\Corvale.skn", BackGroundSkin(kMoss));
    theme_->WriteSkin("..\\PanelBlue\\Corvale.skn", BackGroundSkin(kCrimson));
    SaveSetting("Default", "ProgramDir", theme_->Root() + "Panel");
    SaveSetting("Default", "ThemeDir", "Blue\\");
    PlaceWindow(100, 50, 900, 650);
    const HWND window = StartPanelAndWait();
    ASSERT_TRUE(window);
    const POINT centre = PointIn(WindowRect(window), 0.5, 0.5);
    EXPECT_EQ(ColourOnceSettled(centre, kCrimson), kCrimson);
}

using StartupRemoteControl = PanelTest;

TEST_F(StartupRemoteControl, RequestsLeftFromAnEarlierRunAreResetAndDoNotCloseTheNewPanel) {
    SaveSetting("EXIT", kCaption, "1");
    SaveSetting("Voice", kProgramId, "x");
    PlaceWindow(100, 50, 900, 650);
    Panel& panel = StartPanel();
    ASSERT_TRUE(panel.WaitForWindow());
    EXPECT_EQ(GetSetting("EXIT", kCaption), "0");
    EXPECT_EQ(GetSetting("Voice", kProgramId), "");
    // Three polls of the exit timer later the panel is still there.
    EXPECT_FALSE(panel.WaitForExit(1600ms));
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
