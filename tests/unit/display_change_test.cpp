// Following the displays: where the window goes, when its face is built
// anew, and when a change has to wait.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>

#include "app/frm_main.h"
#include "tests/fake/fake_platform.h"

namespace corvale {
namespace {

using Monitor = fake::FakeToolkit::Monitor;

struct Screen {
    Screen(int w = 1024, Rect area = {0, 0, 1024, 740}, std::vector<Monitor> all = {})
        : width(w), workArea(area), monitors(std::move(all)) {}
    int width;
    Rect workArea;
    std::vector<Monitor> monitors;  // none: one of width x 768
};

// A panel on a theme with a layout for 1024 and one for 800 pixels, each a
// text box reaching the bottom edge and one button of its own.
struct Panel {
    // `whileStarting` runs whenever start-up lets events run.
    explicit Panel(const Screen& screen, std::optional<Rect> saved = std::nullopt,
                   std::function<void(Panel&)> whileStarting = {}) {
        os.settings.Put("Default", "ProgramDir", "C:\\P\\");
        os.settings.Put("Default", "ThemeDir", "T\\");
        os.mixer.AddStandardLine(4, "Master Volume", 30000, 0);
        os.profile.SetFile("C:\\P\\T\\terminal.skn", "[DEFAULT]\nAnimated=True\nAnimDelay=10\n");
        for (const auto& [width, command] : {std::pair{"1024", "wide.exe"}, std::pair{"800", "narrow.exe"}})
            os.profile.SetFile(std::string("C:\\P\\T\\Corvale") + width + ".skn",
                               std::string("[DEFAULT]\nBackGround=") + width + ",0,0\nStartupSound=hello\n" +
                                   "01=info,L,0,0,100,-20,6,14,10,1,1,1,Courier New,9\n"
                                   "02=card,L,0,0,100,20,6,14,10,1,1,1,Courier New,9\n"
                                   "03=b.bmp,B,1,1,9,9,in,out,True," +
                                   command + "\n");
        os.sound.shortPaths["C:\\P\\T\\hello.wav"] = "HELLO";
        os.files.Put("HELLO", std::string("RIFF"));
        if (saved) {
            os.settings.Put("General", "Running", "True");
            const long edges[] = {saved->left, saved->top, saved->right, saved->bottom};
            const char* keys[] = {"Left", "Top", "Right", "Bottom"};
            for (int i = 0; i < 4; ++i) os.settings.Put("Screen", keys[i], std::to_string(edges[i]));
        }
        Show(screen);
        if (whileStarting) os.toolkit.onDoEvents = [this, whileStarting] { whileStarting(*this); };
        main.Load();
        os.toolkit.onDoEvents = nullptr;
    }
    void Show(const Screen& screen) {
        os.toolkit.screenWidth = screen.width;
        os.toolkit.workArea = screen.workArea;
        os.toolkit.monitors = screen.monitors;
    }
    void Change(const Screen& screen) {
        Show(screen);
        main.OnDisplayChange();
    }
    Rect Window() {
        const corvale::Form& f = main.form();
        auto px = [](double twips) { return std::lround(twips / 15); };
        return {px(f.Left()), px(f.Top()), px(f.Left() + f.Width()), px(f.Top() + f.Height())};
    }
    fake::FakeForm& Form() { return static_cast<fake::FakeForm&>(main.form()); }
    long Count(const std::string& entry) {
        return std::count(os.toolkit.journal.begin(), os.toolkit.journal.end(), entry);
    }

    fake::FakePlatform os;
    Context ctx{os.bundle};
    FrmMain main{ctx};
};

std::vector<long> Edges(const Rect& r) { return {r.left, r.top, r.right, r.bottom}; }

TEST(DisplayChange, TheWindowTakesItsPlaceAndTheFaceIsBuiltAnewOnlyWhenItNoLongerFits) {
    const Monitor primary{{0, 0, 1024, 768}, {0, 0, 1024, 740}},
        second{{1024, 0, 2048, 768}, {1024, 0, 2048, 768}};
    const Screen start{}, docked{1024, primary.workArea, {primary, second}};
    const struct {
        const char* why;
        std::optional<Rect> saved;
        Screen before, after;
        bool rebuilt;
        const char* command;
        Rect window;
    } cases[] = {
        {"nothing changed", {}, start, start, false, "wide.exe", {0, 0, 1024, 740}},
        {"the taskbar went to the top: the same size elsewhere",
         {},
         start,
         {1024, {0, 28, 1024, 768}},
         false,
         "wide.exe",
         {0, 28, 1024, 768}},
        {"the taskbar grew: the face is laid out for the shorter window",
         {},
         start,
         {1024, {0, 0, 1024, 700}},
         true,
         "wide.exe",
         {0, 0, 1024, 700}},
        {"an 800-pixel screen takes its own layout",
         {},
         start,
         {800, {0, 0, 800, 572}},
         true,
         "narrow.exe",
         {0, 0, 800, 572}},
        {"a saved placement does not follow the work area",
         Rect{100, 50, 900, 650},
         start,
         {1024, {0, 28, 1024, 768}},
         false,
         "wide.exe",
         {100, 50, 900, 650}},
        {"a saved placement whose monitor is gone goes whole onto the nearest",
         Rect{1200, 100, 1800, 500},
         docked,
         start,
         false,
         "wide.exe",
         {424, 100, 1024, 500}},
        {"one larger than the monitor left is cut to its work area",
         Rect{1100, 0, 2100, 700},
         docked,
         {800, {0, 0, 800, 570}, {{{0, 0, 800, 600}, {0, 0, 800, 570}}}},
         true,
         "narrow.exe",
         {0, 0, 800, 570}},
        {"one off every monitor at start is brought on at once",
         Rect{-900, 100, -300, 500},
         start,
         start,
         false,
         "wide.exe",
         {0, 100, 600, 500}},
    };
    for (const auto& c : cases) {
        Panel panel(c.before, c.saved);
        panel.Change(c.after);
        EXPECT_EQ(panel.Count("unload imgBut(1)"), c.rebuilt ? 1 : 0) << c.why;
        EXPECT_EQ(panel.ctx.g.Main.ButtonCommand, (std::vector<std::string>{"", c.command})) << c.why;
        EXPECT_EQ(Edges(panel.Window()), Edges(c.window)) << c.why;
        EXPECT_EQ(panel.Form().scaleHeight, c.window.Height()) << c.why;
    }
}

TEST(DisplayChange, AFaceBuiltAnewIsBuiltAsAtStartWithoutTheExit) {
    Panel panel(Screen{});
    const long long slept = panel.os.toolkit.sleptMs;
    ASSERT_EQ(panel.os.sound.played.size(), 1U) << "the start's sound";
    panel.Change(Screen{800, {0, 0, 800, 572}});
    EXPECT_EQ(panel.os.toolkit.sleptMs - slept, 3 * 10)
        << "paced as the theme says, the old face gone at once";
    EXPECT_EQ(panel.Count("end"), 0);
    EXPECT_EQ(panel.os.sound.played.size(), 1U) << "the start's sound is the start's";
    EXPECT_EQ(panel.os.mixer.closes, 1);
    EXPECT_EQ(panel.os.mixer.opens, 2);
    EXPECT_EQ(panel.Form().backColor, Rgb(255, 0, 0));
    EXPECT_NE(panel.Form().Find(ControlArray::txtBox, 1)->Text(), "") << "the information panel";
    EXPECT_NE(panel.Form().Find(ControlArray::txtBox, 2)->Text(), "") << "the sound card's report";
    EXPECT_EQ(panel.Form().ControlCount(), panel.ctx.g.ControlCount + 3);
    EXPECT_TRUE(panel.ctx.g.StartupDone);
}

// The click reads its button's command after the prompt: were the face
// rebuilt under it, the new face's button would run.
TEST(DisplayChange, AChangeWaitsForTheClickUnderWayAndForTheFaceBeingBuilt) {
    Panel clicked(Screen{});
    clicked.os.toolkit.onShowModal = [&](fake::FakeForm& prompt) {
        clicked.Change(Screen{800, {0, 0, 800, 572}});
        EXPECT_EQ(clicked.ctx.g.LayoutSkinName, "Corvale1024") << "rebuilt under the prompt";
        prompt.Events().OnKeyUp({ControlArray::txtInput, 0}, {kKeyReturn, 0});
    };
    clicked.main.OnClick({ControlArray::imgBut, 1});
    ASSERT_EQ(clicked.os.launcher.opened.size(), 1U);
    EXPECT_EQ(clicked.os.launcher.opened[0].file, "wide.exe");
    EXPECT_EQ(clicked.ctx.g.LayoutSkinName, "Corvale800") << "followed once the click was done";

    int changes = 0;
    Panel building(Screen{}, std::nullopt, [&changes](Panel& p) {
        if (p.ctx.g.Main.ButtonCount != 1 || changes == 2) return;
        const long unloads = p.Count("unload imgBut(1)");
        p.Change(Screen{800, {0, 0, 800, 572 - 100 * changes++}});
        EXPECT_EQ(p.Count("unload imgBut(1)"), unloads) << "taken down while being built";
    });
    EXPECT_EQ(building.Count("unload imgBut(1)"), 2) << "once started, and again for the change meanwhile";
    EXPECT_EQ(Edges(building.Window()), Edges(Rect{0, 0, 800, 472}));
    EXPECT_EQ(building.ctx.g.Main.ButtonCommand, (std::vector<std::string>{"", "narrow.exe"}));
}

}  // namespace
}  // namespace corvale
