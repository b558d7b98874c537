// Start-up: the single-instance rule, the remote-control reset, placement,
// the layout skin choice and the window-wide skin values.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/frm_main.h"
#include "app/startup.h"
#include "tests/fake/fake_platform.h"

namespace corvale {
namespace {

using fake::FakeForm;
using fake::ProgramEnded;

TEST(Startup_FindPreviousInstance, TakesOnlyWindowsThatOwnATaskbarButton) {
    const std::string caption = "VEXAL Terminal - Corvale";
    struct Case {
        const char* what;
        TopWindow window;
        long long expected;
    };
    const Case cases[] = {
        {"visible, unowned", {11, true, 0, 0, 0, 0, caption}, 11},
        {"hidden", {12, false, 0, 0, 0, 0, caption}, -1},
        {"child of another window", {13, true, 5, 0, 0, 0, caption}, -1},
        {"owned by a normal window", {14, true, 0, 6, 0, 0, caption}, -1},
        {"owned by a tool window", {15, true, 0, 6, 0, 0x80, caption}, 15},
        {"itself a tool window", {16, true, 0, 0, 0x80, 0, caption}, -1},
        {"other caption", {17, true, 0, 0, 0, 0, "VEXAL Terminal - Other"}, -1},
        {"caption in another case", {18, true, 0, 0, 0, 0, "vexal terminal - corvale"}, -1},
    };
    for (const Case& c : cases) EXPECT_EQ(FindPreviousInstance({c.window}, caption), c.expected) << c.what;
}

TEST(Startup_FindPreviousInstance, ReturnsTheLastOfSeveralMatches) {
    const std::string caption = "VEXAL Terminal - Corvale";
    const std::vector<TopWindow> windows = {
        {21, true, 0, 0, 0, 0, caption}, {22, true, 0, 0, 0, 0, "x"}, {23, true, 0, 0, 0, 0, caption}};
    EXPECT_EQ(FindPreviousInstance(windows, caption), 23);
    EXPECT_EQ(FindPreviousInstance({}, caption), -1);
}

TEST(Startup_Rules, BackGroundNeedsTwoCommasAndLimitsEachComponent) {
    EXPECT_EQ(ParseBackGround("0,128,255"), Rgb(0, 128, 255));
    EXPECT_EQ(ParseBackGround(" 10 , 20 , 30 "), Rgb(10, 20, 30));
    EXPECT_EQ(ParseBackGround("300,-5,abc"), Rgb(255, 0, 0));
    EXPECT_EQ(ParseBackGround("1,2,3,4"), Rgb(1, 2, 3));
    EXPECT_EQ(ParseBackGround("0,128"), std::nullopt);
    EXPECT_EQ(ParseBackGround(""), std::nullopt);
}

TEST(Startup_Rules, SavedPlacementConvertsPixelsToTwipsAndDefaultsToTheBackdrop) {
    const TwipsRect backdrop{0, 0, 1024 * 15, 740 * 15};
    const TwipsRect saved = SavedPlacement({100, 50, 900, 650}, backdrop, 15, 15);
    EXPECT_DOUBLE_EQ(saved.left, 1500);
    EXPECT_DOUBLE_EQ(saved.top, 750);
    EXPECT_DOUBLE_EQ(saved.width, 12000);
    EXPECT_DOUBLE_EQ(saved.height, 9000);

    const TwipsRect none = SavedPlacement({}, backdrop, 15, 15);
    EXPECT_DOUBLE_EQ(none.left, 0);
    EXPECT_DOUBLE_EQ(none.width, backdrop.width);
    EXPECT_DOUBLE_EQ(none.height, backdrop.height);

    // Only Left given: the right edge follows from the backdrop's width.
    const TwipsRect leftOnly = SavedPlacement({200, {}, {}, {}}, backdrop, 15, 15);
    EXPECT_DOUBLE_EQ(leftOnly.left, 3000);
    EXPECT_DOUBLE_EQ(leftOnly.width, backdrop.width);
}

class StartupTest : public ::testing::Test {
protected:
    void SetUp() override {
        os.settings.Put("Default", "ProgramDir", "C:\\Panel\\");
        os.settings.Put("Default", "ThemeDir", "Blue\\");
        os.toolkit.screenWidth = 1280;
        os.toolkit.workArea = {0, 0, 1280, 994};
    }
    FakeForm& Form() { return static_cast<FakeForm&>(main.form()); }

    fake::FakePlatform os;
    Context ctx{os.bundle};
    FrmMain main{ctx};
};

// The first instance's window is raised when it shows; either way the
// second ends before it writes a setting or shows itself.
TEST(Startup_SecondInstance, EndsWithoutWritingOrShowingAndRaisesAShownFirstWindow) {
    for (const bool firstShown : {true, false}) {
        fake::FakePlatform os;
        Context ctx{os.bundle};
        FrmMain main{ctx};
        os.desktop.previousInstance = true;
        os.desktop.windows = {{77, firstShown, 0, 0, 0, 0, "VEXAL Terminal - Corvale"}};
        EXPECT_THROW(main.Load(), ProgramEnded);
        EXPECT_EQ(os.desktop.raised, firstShown ? std::vector<WindowHandle>{77} : std::vector<WindowHandle>{})
            << "first window shown: " << firstShown;
        EXPECT_TRUE(os.settings.writes.empty());
        auto& form = static_cast<FakeForm&>(main.form());
        EXPECT_FALSE(form.shown);
        EXPECT_NE(form.caption, "VEXAL Terminal - Corvale");
    }
}

TEST_F(StartupTest, StaleRemoteControlRequestsAreResetBeforeTheWindowShows) {
    os.settings.Put("EXIT", "VEXAL Terminal - Corvale", "1");
    os.settings.Put("Voice", "Corvale", "QUIT");
    main.Load();
    EXPECT_EQ(os.settings.Value("EXIT", "VEXAL Terminal - Corvale"), "0");
    EXPECT_EQ(os.settings.Value("Voice", "Corvale"), "");
    EXPECT_EQ(os.settings.writes,
              (std::vector<std::string>{"EXIT/VEXAL Terminal - Corvale=0", "Voice/Corvale="}));
    EXPECT_TRUE(ctx.g.StartupDone);
    EXPECT_EQ(Form().caption, "VEXAL Terminal - Corvale");
}

TEST_F(StartupTest, RunningWithASavedRectanglePlacesTheWindowThere) {
    os.settings.Put("General", "Running", "True");
    os.settings.Put("Screen", "Left", "100");
    os.settings.Put("Screen", "Top", "50");
    os.settings.Put("Screen", "Right", "900");
    os.settings.Put("Screen", "Bottom", "650");
    main.Load();
    EXPECT_DOUBLE_EQ(Form().left, 1500);
    EXPECT_DOUBLE_EQ(Form().top, 750);
    EXPECT_EQ(Form().scaleWidth, 800);
    EXPECT_EQ(Form().scaleHeight, 600);
}

TEST_F(StartupTest, NotRunningOrUnreadableRunningFillsTheWorkArea) {
    for (const char* running : std::initializer_list<const char*>{"False", "0", "maybe", nullptr}) {
        fake::FakePlatform other;
        other.toolkit.workArea = {0, 30, 1024, 738};
        if (running) other.settings.Put("General", "Running", running);
        other.settings.Put("Screen", "Left", "100");
        Context c{other.bundle};
        FrmMain m{c};
        m.Load();
        auto& form = static_cast<FakeForm&>(m.form());
        EXPECT_DOUBLE_EQ(form.left, 0) << (running ? running : "missing");
        EXPECT_DOUBLE_EQ(form.top, 30 * 15);
        EXPECT_EQ(form.scaleWidth, 1024);
        EXPECT_EQ(form.scaleHeight, 708);
    }
}

TEST_F(StartupTest, RunningWithoutScreenKeysTakesTheUsableArea) {
    os.settings.Put("General", "Running", "true");
    os.settings.Put("Screen", "Right", "wide");  // unreadable: the default applies
    main.Load();
    EXPECT_DOUBLE_EQ(Form().left, 0);
    EXPECT_EQ(Form().scaleWidth, 1280);
    EXPECT_EQ(Form().scaleHeight, 994);
}

TEST_F(StartupTest, TheWidthLayoutSkinWinsOnlyWhenItHasABackGround) {
    os.profile.SetFile("C:\\Panel\\Blue\\Corvale1280.skn", "[DEFAULT]\nBackGround=1,2,3\n");
    os.profile.SetFile("C:\\Panel\\Blue\\corvale.skn", "[DEFAULT]\nBackGround=4,5,6\n");
    main.Load();
    EXPECT_EQ(ctx.g.LayoutSkinName, "Corvale1280");
    EXPECT_EQ(Form().backColor, Rgb(1, 2, 3));

    fake::FakePlatform other;
    other.toolkit.screenWidth = 1280;
    other.settings.Put("Default", "ProgramDir", "C:\\Panel\\");
    other.settings.Put("Default", "ThemeDir", "Blue\\");
    other.profile.SetFile("C:\\Panel\\Blue\\Corvale1280.skn", "[DEFAULT]\nStartupSound=x\n");
    other.profile.SetFile("C:\\Panel\\Blue\\Corvale.skn", "[default]\nbackground=4,5,6\n");
    Context c{other.bundle};
    FrmMain m{c};
    m.Load();
    EXPECT_EQ(c.g.LayoutSkinName, "Corvale");
    EXPECT_EQ(static_cast<FakeForm&>(m.form()).backColor, Rgb(4, 5, 6));
}

TEST(Startup_BackGround, WithoutAUsableOneTheWindowKeepsItsDesignColourSilently) {
    const struct {
        const char* why;
        const char* layoutSkin;  // nullptr: no skin at all
    } cases[] = {
        {"no skin at all", nullptr},
        {"fewer than two commas", "[DEFAULT]\nBackGround=0,128\n"},
    };
    for (const auto& c : cases) {
        fake::FakePlatform os;
        os.settings.Put("Default", "ProgramDir", "C:\\Panel\\");
        os.settings.Put("Default", "ThemeDir", "Blue\\");
        if (c.layoutSkin) os.profile.SetFile("C:\\Panel\\Blue\\Corvale.skn", c.layoutSkin);
        Context ctx{os.bundle};
        FrmMain main{ctx};
        const Color design = FakeForm(os.toolkit, FormKind::Main, main).backColor;
        main.Load();
        EXPECT_EQ(ctx.g.LayoutSkinName, "Corvale") << c.why;
        EXPECT_EQ(static_cast<FakeForm&>(main.form()).backColor, design) << c.why;
        EXPECT_TRUE(os.toolkit.messageBoxes.empty()) << c.why;
        EXPECT_FALSE(ctx.g.Animated) << c.why;
        EXPECT_EQ(ctx.g.AnimDelay, 0) << c.why;
    }
}

TEST_F(StartupTest, ProgramDirAndThemeDirAreJoinedWithoutASeparator) {
    os.settings.Put("Default", "ProgramDir", "C:\\Panel");
    os.profile.SetFile("C:\\PanelBlue\\terminal.skn", "[DEFAULT]\nAnimated=True\nAnimDelay=40\n");
    os.profile.SetFile("C:\\Panel\\Blue\\terminal.skn", "[DEFAULT]\nAnimated=False\nAnimDelay=7\n");
    main.Load();
    EXPECT_EQ(ctx.g.ThemeSkinPath(), "C:\\PanelBlue\\terminal.skn");
    EXPECT_TRUE(ctx.g.Animated);
    EXPECT_EQ(ctx.g.AnimDelay, 40);
}

TEST_F(StartupTest, UnreadableThemeValuesKeepTheirDefaults) {
    os.profile.SetFile("C:\\Panel\\Blue\\TERMINAL.SKN", "[default]\nanimated=sometimes\nanimdelay=fast\n");
    main.Load();
    EXPECT_FALSE(ctx.g.Animated);
    EXPECT_EQ(ctx.g.AnimDelay, 0);
}

TEST_F(StartupTest, StoredValuesAreReadAndTheBareWindowShowsBeforeTheFaceIsBuilt) {
    os.settings.Put("DEFAULT", "Password", "Secret");
    main.Load();
    EXPECT_EQ(ctx.g.Password, "Secret");
    EXPECT_EQ(ctx.g.ControlCount, Form().ControlCount());
    const auto& j = os.toolkit.journal;
    const auto show = std::find(j.begin(), j.end(), "show form");
    ASSERT_NE(show, j.end());
    ASSERT_NE(show + 1, j.end());
    EXPECT_EQ(*(show + 1), "doevents");
    EXPECT_EQ(static_cast<fake::FakeControl*>(Form().Find(ControlArray::cmdFake, 0))->left, -100);
}

}  // namespace
}  // namespace corvale
