// Following the displays: where the window goes, when its face is built
// anew, and when a change has to wait.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

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
    std::vector<Monitor> monitors;  // none: one monitor, width x 768
};

// A theme with a layout for 1024 and one for 800 pixels, each of its own
// colour, with a text box reaching the bottom edge and a protected button
// that starts WIDTH.exe. `whileStarting` runs whenever start-up lets events run.
struct Panel {
    // `saved`: Left, Top, Right and Bottom of a saved placement.
    explicit Panel(const Screen& screen, std::vector<long> saved = {},
                   std::function<void(Panel&)> whileStarting = {}) {
        os.settings.Put("Default", "ProgramDir", "C:\\P\\");
        os.mixer.AddStandardLine(4, "Master Volume", 30000, 0);
        os.profile.SetFile("C:\\P\\terminal.skn", "[DEFAULT]\nAnimated=True\nAnimDelay=10\n");
        for (const std::string w : {"1024", "800"}) {
            const std::string entries = "01=i,L,0,0,9,-20\n02=c,L,0,0,9,9\n03=b.bmp,B,1,1,9,9,i,o,True," + w;
            os.profile.SetFile("C:\\P\\Corvale" + w + ".skn",
                               "[DEFAULT]\nBackGround=" + w.substr(0, 1) + ",0,0\n" + entries + ".exe\n");
        }
        if (!saved.empty()) os.settings.Put("General", "Running", "True");
        for (size_t i = 0; i < saved.size(); ++i)
            os.settings.Put("Screen", std::vector{"Left", "Top", "Right", "Bottom"}[i],
                            std::to_string(saved[i]));
        Change(screen, false);
        if (whileStarting) os.toolkit.onDoEvents = [this, whileStarting] { whileStarting(*this); };
        main.Load();
        os.toolkit.onDoEvents = nullptr;
    }
    void Change(const Screen& screen, bool tell = true) {
        os.toolkit.screenWidth = screen.width;
        os.toolkit.workArea = screen.workArea;
        os.toolkit.monitors = screen.monitors;
        if (tell) main.OnDisplayChange();
    }
    std::vector<long> Window() {
        const corvale::Form& f = main.form();
        auto px = [](double twips) { return std::lround(twips / 15); };
        return {px(f.Left()), px(f.Top()), px(f.Left() + f.Width()), px(f.Top() + f.Height())};
    }
    long Rebuilds() { return std::ranges::count(os.toolkit.journal, std::string("unload imgBut(1)")); }
    std::string Command() { return ctx.g.Main.ButtonCommand.back(); }

    fake::FakePlatform os;
    Context ctx{os.bundle};
    FrmMain main{ctx};
};

TEST(DisplayChange, TheWindowTakesItsPlaceAndTheFaceIsBuiltAnewAsAtStartWhenItNoLongerFits) {
    const Monitor primary{{0, 0, 1024, 768}, {0, 0, 1024, 740}},
        second{{1024, 0, 2048, 768}, {1024, 0, 2048, 768}};
    const Screen start, docked{1024, primary.workArea, {primary, second}}, small{800, {0, 0, 800, 570}},
        barOnTop{1024, {0, 28, 1024, 768}}, tallBar{1024, {0, 0, 1024, 700}};
    const struct {
        const char* why;
        std::vector<long> saved, window;
        Screen before, after;
        bool rebuilt;
    } cases[] = {
        {"taskbar on top: same size elsewhere", {}, {0, 28, 1024, 768}, start, barOnTop, false},
        {"taller taskbar: entries at the bottom", {}, {0, 0, 1024, 700}, start, tallBar, true},
        {"800 pixels wide: its own layout", {}, {0, 0, 800, 570}, start, small, true},
        {"saved: not the work area", {100, 50, 900, 650}, {100, 50, 900, 650}, start, barOnTop, false},
        {"saved, monitor gone: moved whole", {1200, 0, 1800, 500}, {424, 0, 1024, 500}, docked, start, false},
        {"saved, too large: cut to the area", {1100, 0, 2100, 700}, {0, 0, 800, 570}, docked, small, true},
        {"saved, off all monitors at start", {-900, 10, -300, 50}, {0, 10, 600, 50}, start, start, false},
    };
    for (const auto& c : cases) {
        Panel p(c.before, c.saved);
        const long long slept = p.os.toolkit.sleptMs;
        p.Change(c.after);
        EXPECT_EQ(p.Window(), c.window) << c.why;
        EXPECT_EQ(p.Rebuilds(), c.rebuilt ? 1 : 0) << c.why;
        EXPECT_EQ(p.Command(), std::to_string(c.after.width) + ".exe") << c.why;
        EXPECT_EQ(static_cast<fake::FakeForm&>(p.main.form()).backColor,
                  Rgb(c.after.width == 800 ? 8 : 1, 0, 0))
            << c.why;
        // As at start: the build paced, the mixer and the panel filled; no exit's pause.
        EXPECT_EQ(p.os.toolkit.sleptMs - slept, c.rebuilt ? 3 * 10 : 0) << c.why;
        EXPECT_EQ(p.os.mixer.opens, c.rebuilt ? 2 : 1) << c.why;
        EXPECT_NE(p.main.form().Find(ControlArray::txtBox, 1)->Text(), "") << c.why;
    }
}

// A click reads its button's command after the prompt: were the face rebuilt
// under it, the new face's button would run. A change during a build is
// followed once the face stands, and one during that rebuild after it.
TEST(DisplayChange, AChangeWaitsForTheClickUnderWayAndForTheFaceBeingBuilt) {
    Panel clicked{Screen{}};
    clicked.os.toolkit.onShowModal = [&](fake::FakeForm& prompt) {
        clicked.Change(Screen{800, {0, 0, 800, 572}});
        EXPECT_EQ(clicked.Rebuilds(), 0) << "rebuilt under the prompt";
        prompt.Events().OnKeyUp({ControlArray::txtInput, 0}, {kKeyReturn, 0});
    };
    clicked.main.OnClick({ControlArray::imgBut, 1});
    ASSERT_EQ(clicked.os.launcher.opened.size(), 1U);
    EXPECT_EQ(clicked.os.launcher.opened[0].file, "1024.exe");
    EXPECT_EQ(clicked.Command(), "800.exe") << "followed once the click was done";

    int changes = 0;
    Panel building(Screen{}, {}, [&changes](Panel& p) {
        if (p.ctx.g.Main.ButtonCount != 1 || changes == 2) return;
        const long rebuilds = p.Rebuilds();
        p.Change(Screen{800, {0, 0, 800, 572 - 100 * changes++}});
        EXPECT_EQ(p.Rebuilds(), rebuilds) << "taken down while being built";
    });
    EXPECT_EQ(building.Rebuilds(), 2);
    EXPECT_EQ(building.Window(), (std::vector<long>{0, 0, 800, 472}));
}

}  // namespace
}  // namespace corvale
