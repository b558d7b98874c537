// The panel's rest while nobody can see it, on the fake platform.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/frm_main.h"
#include "base/values.h"
#include "mixer/volume_panel.h"
#include "tests/unit/skin_scene.h"

namespace corvale {
namespace {

// A button under the pointer, a 100/200/300 ms animation and the speakers' slider.
class RestTest : public ::testing::Test {
protected:
    void SetUp() override {
        os.settings.Put("Default", "ProgramDir", "C:\\P\\");
        os.settings.Put("Default", "ThemeDir", "T\\");
        os.mixer.AddStandardLine(mm::kDstSpeakers, "Master Volume", 30000, 0);
        std::string skin =
            "[DEFAULT]\n01=b.bmp,B,10,10,20,20,in,out,0,a.exe\n02=spin.gif,A,100,10,10,10\n"
            "[VOLUME]\nvolume0=200,10,20,190,200,210,40,12,200,230,20,20\n";
        for (int n = 0; n < kMeterPictures; ++n) {
            skin += "Meter" + TwoDigitKey(n) + "=m" + TwoDigitKey(n) + ".bmp\n";
            os.toolkit.pictureFiles[Meter(n)] = {20, 190};
        }
        os.toolkit.pictureFiles["C:\\P\\T\\b.bmp"] = os.toolkit.pictureFiles["C:\\P\\T\\ba.bmp"] = {20, 20};
        os.files.Put("C:\\P\\T\\spin.gif", test::Gif({10, 20, 30}));
        os.profile.SetFile("C:\\P\\T\\Corvale.skn", skin);
        os.toolkit.cursor = {15, 15};
    }
    static std::string Meter(int n) { return "C:\\P\\T\\m" + TwoDigitKey(n) + ".bmp"; }
    fake::FakeForm& Form() { return static_cast<fake::FakeForm&>(main.form()); }
    fake::FakeControl& Get(ControlArray array, int index = 0) { return *Form().Get(array, index); }
    std::string PictureOf(ControlArray array, int index) {
        return fake::PictureSource(Get(array, index).picture);
    }
    // The system says it, now and when asked.
    void Say(const Sight& sight) {
        Form().sight = sight;
        main.OnSightChange(sight);
    }
    long FramesShownOver(int milliseconds) {
        os.toolkit.journal.clear();
        os.toolkit.Advance(milliseconds);
        return std::count_if(os.toolkit.journal.begin(), os.toolkit.journal.end(),
                             [](const std::string& s) { return s.starts_with("set imgGif"); });
    }

    fake::FakePlatform os;
    Context ctx{os.bundle};
    FrmMain main{ctx};
};

TEST_F(RestTest, WhileAnyFactHoldsOnlyTheRemoteControlTicksAndOnlyACoverIsLookedForOnTheTick) {
    main.Load();
    const struct {
        const char* why;
        Sight sight;
        bool resting, looked;
    } steps[] = {
        {"minimised: restoring brings a notice", {.minimised = true}, true, false},
        {"restored", {}, false, true},
        {"covered: nothing tells when windows move away", {.covered = true}, true, true},
        {"locked while covered: the unlock brings a notice",
         {.covered = true, .sessionLocked = true},
         true,
         false},
        {"unlocked, still covered", {.covered = true}, true, true},
        {"the display off", {.displayOff = true}, true, false},
        {"the display on", {}, false, true},
    };
    for (const auto& step : steps) {
        Say(step.sight);
        const size_t reads = os.mixer.reads.size();
        const int looks = Form().sightLooks;
        EXPECT_EQ(FramesShownOver(1000) == 0, step.resting) << step.why;
        for (ControlArray timer : {ControlArray::tmrMouse, ControlArray::tmrAudio})
            EXPECT_EQ(Get(timer).enabled, !step.resting) << step.why;
        EXPECT_EQ(os.mixer.reads.size() == reads, step.resting) << step.why;
        EXPECT_EQ(Form().sightLooks > looks, step.looked) << step.why;
    }
    Say({.covered = true});
    os.settings.Put("EXIT", "VEXAL Terminal - Corvale", "1");
    EXPECT_THROW(os.toolkit.Advance(500), fake::ProgramEnded) << "EXIT waits for no one to look";
}

TEST_F(RestTest, OnReturnTheFaceShowsWhatChangedMeanwhileAndTheAnimationGoesOnFromItsFrame) {
    main.Load();
    os.toolkit.Advance(150);
    ASSERT_EQ(PictureOf(ControlArray::imgBut, 1), "C:\\P\\T\\ba.bmp");
    const long frame = ctx.g.Main.AnimFrame[1];
    Say({.covered = true});
    os.mixer.Find(mm::kDstSpeakers, mm::kControlVolume)->values = {60000, 60000};
    os.toolkit.cursor = {500, 500};
    os.toolkit.Advance(2000);
    EXPECT_EQ(PictureOf(ControlArray::imgBut, 1), "C:\\P\\T\\ba.bmp") << "the hover tick ran";
    EXPECT_EQ(PictureOf(ControlArray::imgVol, 0), Meter(VolumePictureStep(30000))) << "the mixer was read";

    Say({});
    EXPECT_EQ(PictureOf(ControlArray::imgVol, 0), Meter(VolumePictureStep(60000)));
    EXPECT_EQ(PictureOf(ControlArray::imgBut, 1), "C:\\P\\T\\b.bmp");
    EXPECT_EQ(ctx.g.Main.AnimFrame[1], frame);
    os.toolkit.Advance(Get(ControlArray::tmrAnim, 1).interval - 1);
    EXPECT_EQ(ctx.g.Main.AnimFrame[1], frame) << "the frame is not given its whole time again";
    os.toolkit.Advance(1);
    EXPECT_EQ(ctx.g.Main.AnimFrame[1], frame % 3 + 1);
}

TEST_F(RestTest, TimersStartedWhileRestingStopAtTheirFirstTickAndAPointerOverThePanelEndsTheRest) {
    os.toolkit.onDoEvents = [&] {
        if (Form().shown && !main.Closing && Form().sight == Sight{}) Say({.covered = true});
    };
    main.Load();  // the face and the volume panel are built while covered
    os.toolkit.onDoEvents = nullptr;
    EXPECT_EQ(FramesShownOver(1000), 0);
    EXPECT_FALSE(Get(ControlArray::tmrAnim, 1).enabled || Get(ControlArray::tmrAudio).enabled);
    Form().sight = {};
    main.OnMouseMove({ControlArray::Form, 0}, {});
    EXPECT_TRUE(Get(ControlArray::tmrAudio).enabled);
    EXPECT_GT(FramesShownOver(1000), 0);
}

}  // namespace
}  // namespace corvale
