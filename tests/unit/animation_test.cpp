// Frame cycling on the animation timers, and the paced teardown.
#include <gtest/gtest.h>

#include <algorithm>

#include "base/values.h"
#include "skin/animation.h"
#include "tests/unit/skin_scene.h"

namespace corvale {
namespace {

using fake::FakeControl;
using test::Gif;
using test::SkinScene;

class AnimationTest : public ::testing::Test, public SkinScene {
protected:
    void SetUp() override {
        events.onTimer = [this](ControlRef source) {
            if (source.array == ControlArray::tmrAnim && !closing)
                AdvanceAnimation(form, lists, source.index, os.toolkit.Now());
        };
    }
    // The frames of animation `a` on show now.
    std::vector<long> Shown(int a) {
        std::vector<long> shown;
        for (long f = lists.AnimFirstFrame[static_cast<size_t>(a)];
             f <= lists.AnimLastFrame[static_cast<size_t>(a)]; ++f)
            if (Get(ControlArray::imgGif, static_cast<int>(f))->visible) shown.push_back(f);
        return shown;
    }
    bool closing = false;
};

TEST_F(AnimationTest, EachFrameStaysForItsOwnTimeAndTheCycleStartsOver) {
    os.files.Put("C:\\P\\T\\spin.gif", Gif({10, 20, 30}));
    Layout({"01=spin.gif,A,0,0,10,10"});
    Build();
    // Times after the build, with the frame expected on show: 1 for 100 ms,
    // 2 for 200, 3 for 300, then 1, 2, ... again.
    const std::pair<int, long> samples[] = {{50, 1},  {99, 1},  {101, 2}, {299, 2}, {301, 3},
                                            {599, 3}, {601, 1}, {699, 1}, {701, 2}, {1201, 1}};
    const long long start = os.toolkit.now;
    for (const auto& [at, frame] : samples) {
        os.toolkit.Advance(static_cast<int>(start + at - os.toolkit.now));
        EXPECT_EQ(Shown(1), std::vector<long>{frame}) << "at " << at << " ms";
    }
}

TEST_F(AnimationTest, LateTicksDoNotAddUpOverALongAnimation) {
    os.files.Put("C:\\P\\T\\spin.gif", Gif({10, 10}));
    Layout({"01=spin.gif,A,0,0,10,10"});
    Build();
    os.toolkit.timerTick = 16;  // each tick comes up to 15 ms late
    os.toolkit.journal.clear();
    os.toolkit.Advance(10000);
    const auto frames =
        std::count_if(os.toolkit.journal.begin(), os.toolkit.journal.end(),
                      [](const auto& e) { return e.rfind("set tmrAnim(1).Interval", 0) == 0; });
    EXPECT_NEAR(frames, 100, 1) << "a hundred frames of 100 ms in ten seconds";
}

TEST_F(AnimationTest, TheNewFrameIsShownBeforeTheOldOneIsHidden) {
    os.files.Put("C:\\P\\T\\spin.gif", Gif({10, 20, 30}));
    Layout({"01=spin.gif,A,0,0,10,10"});
    Build();
    lists.AnimFrame[1] = 3;
    os.toolkit.journal.clear();
    AdvanceAnimation(form, lists, 1, os.toolkit.Now());
    const fake::Journal expected = {"set imgGif(1).Visible True", "set imgGif(3).Visible False",
                                    "set tmrAnim(1).Interval 100"};
    EXPECT_EQ(os.toolkit.journal, expected);
    EXPECT_EQ(lists.AnimFrame[1], 1);
}

TEST_F(AnimationTest, ASingleFrameStaysOnShow) {
    os.files.Put("C:\\P\\T\\one.gif", Gif({25}));
    Layout({"01=one.gif,A,0,0,10,10"});
    Build();
    os.toolkit.journal.clear();
    os.toolkit.Advance(1000);
    EXPECT_EQ(Shown(1), std::vector<long>{1});
    EXPECT_EQ(std::count(os.toolkit.journal.begin(), os.toolkit.journal.end(), "set imgGif(1).Visible True"),
              4);
    EXPECT_EQ(std::count(os.toolkit.journal.begin(), os.toolkit.journal.end(), "set imgGif(1).Visible False"),
              0);
}

TEST_F(AnimationTest, AnAnimationWithoutFramesOrOutsideTheListChangesNothing) {
    os.files.Put("C:\\P\\T\\spin.gif", Gif({10, 20}));
    Layout({"01=missing.gif,A,0,0,10,10", "02=spin.gif,A,0,0,10,10"});
    Build();
    const SkinLists before = lists;
    os.toolkit.journal.clear();
    for (int index : {1, 0, -1, 3, 1000}) AdvanceAnimation(form, lists, index, os.toolkit.Now());
    EXPECT_TRUE(os.toolkit.journal.empty());
    EXPECT_EQ(lists.AnimFrame, before.AnimFrame);
}

TEST_F(AnimationTest, AfterClosingTicksNoLongerChangeFrames) {
    os.files.Put("C:\\P\\T\\spin.gif", Gif({10, 20}));
    Layout({"01=spin.gif,A,0,0,10,10"});
    Build();
    closing = true;
    os.toolkit.Advance(1000);
    EXPECT_EQ(Shown(1), std::vector<long>{1});
    EXPECT_EQ(lists.AnimFrame[1], 1);
}

TEST_F(AnimationTest, AnimationsAlreadyBuiltRunWhileLaterEntriesAreBuilt) {
    os.files.Put("C:\\P\\T\\spin.gif", Gif({10, 20}));
    Layout({"01=spin.gif,A,0,0,10,10", "02=a.bmp,P,0,0,1,1", "03=a.bmp,P,0,0,1,1"});
    Build(true, 60);  // 120 ms of pauses after the animation's entry
    EXPECT_EQ(lists.AnimFrame[1], 2);
}

class TeardownTest : public AnimationTest {
protected:
    // Ten visible text boxes, ten visible pictures, one animation of three
    // frames (one visible) and its timer: 20 + 1 visible, 24 made.
    void BuildFace() {
        os.files.Put("C:\\P\\T\\spin.gif", Gif({10, 20, 30}));
        std::vector<std::string> lines;
        for (int n = 1; n <= 10; ++n) lines.push_back(TwoDigitKey(n) + "=x,L,0,0,5,5,0,0,0,0,0,0,Arial,9");
        for (int n = 11; n <= 20; ++n) lines.push_back(TwoDigitKey(n) + "=a.bmp,P,0,0,5,5");
        lines.push_back("21=spin.gif,A,0,0,5,5");
        Layout(lines);
        Build();
        designed = form.ControlCount() - 24;
        ASSERT_EQ(designed, ctx.g.ControlCount);
        os.toolkit.journal.clear();
        os.toolkit.sleptMs = 0;
        os.toolkit.doEventsCount = 0;
        closing = true;  // as the exit sequence has it before the teardown
    }
    void Theme(const std::string& text) { os.profile.SetFile(kTheme, "[DEFAULT]\n" + text); }
    std::vector<std::string> Unloads() const {
        std::vector<std::string> unloads;
        for (const std::string& line : os.toolkit.journal)
            if (line.rfind("unload ", 0) == 0) unloads.push_back(line.substr(7));
        return unloads;
    }
    int designed = 0;
};

TEST_F(TeardownTest, ControlsGoLastMadeFirstWithAPauseBeforeEachVisibleOne) {
    BuildFace();
    Theme("Animated=True\nAnimDelay=50\n");
    std::vector<std::string> expected = {"imgGif(3)", "imgGif(2)", "imgGif(1)", "tmrAnim(1)"};
    for (int j = 10; j >= 1; --j) expected.push_back("imgPic(" + std::to_string(j) + ")");
    for (int k = 10; k >= 1; --k) expected.push_back("txtBox(" + std::to_string(k) + ")");
    UnloadSkinControls(ctx, form);

    EXPECT_EQ(Unloads(), expected);
    EXPECT_EQ(form.ControlCount(), designed);
    EXPECT_EQ(os.toolkit.sleptMs, 21 * 50);
    EXPECT_TRUE(ctx.g.Animated);
    EXPECT_EQ(ctx.g.AnimDelay, 50);
    // Pauses precede exactly the visible ones, and events run after each.
    const auto& j = os.toolkit.journal;
    for (auto it = j.begin(); it != j.end(); ++it) {
        if (it->rfind("unload ", 0) != 0) continue;
        const std::string name = it->substr(7);
        const bool visible =
            name.rfind("txtBox", 0) == 0 || name.rfind("imgPic", 0) == 0 || name == "imgGif(1)";
        EXPECT_EQ(it != j.begin() && *(it - 1) == "sleep 50", visible) << name;
        ASSERT_NE(it + 1, j.end());
        EXPECT_EQ(*(it + 1), "doevents") << name;
    }
}

TEST_F(TeardownTest, TheThemeIsReadAgainAndAMissingKeyKeepsTheStartValue) {
    BuildFace();
    ctx.g.Animated = true;
    ctx.g.AnimDelay = 40;
    Theme("Animated=False\n");
    UnloadSkinControls(ctx, form);
    EXPECT_FALSE(ctx.g.Animated);
    EXPECT_EQ(ctx.g.AnimDelay, 40);
    EXPECT_EQ(os.toolkit.sleptMs, 0);
    EXPECT_EQ(os.toolkit.doEventsCount, 24);
}

TEST_F(TeardownTest, StartValuesApplyWhenTheThemeSaysNothingUsable) {
    BuildFace();
    ctx.g.Animated = true;
    ctx.g.AnimDelay = 10;
    Theme("Animated=perhaps\nAnimDelay=soon\n");
    UnloadSkinControls(ctx, form);
    EXPECT_EQ(os.toolkit.sleptMs, 21 * 10);
}

TEST_F(TeardownTest, HandlersThatTakeControlsAwayMidwayDoNotDerailIt) {
    BuildFace();
    // Each time events run, a handler unloads the first made text box still there.
    os.toolkit.onDoEvents = [this] {
        for (int k = 1; k <= 10; ++k)
            if (FakeControl* box = Get(ControlArray::txtBox, k)) {
                form.Unload(*box);
                return;
            }
    };
    UnloadSkinControls(ctx, form);
    EXPECT_EQ(form.ControlCount(), designed);
}

TEST_F(TeardownTest, ControlsThatCannotBeUnloadedAreSkipped) {
    BuildFace();
    ctx.g.ControlCount = 0;  // reach down into the design-time controls, which refuse
    UnloadSkinControls(ctx, form);
    EXPECT_EQ(form.ControlCount(), designed);
    EXPECT_EQ(Unloads().size(), 24u);
    EXPECT_NE(Get(ControlArray::imgBut, 0), nullptr);
}

}  // namespace
}  // namespace corvale
