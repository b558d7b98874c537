// The volume panel: opening, the slot assignment, the skin's pictures and
// geometry, the slider and switch handlers, the read-back timer, closing.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/unit/mixer_test_scene.h"

namespace corvale {
namespace {

using testing::LabelFile;
using testing::MeterFile;
using testing::MixerScene;

using VolumePanelTest = MixerScene;

// --- the arithmetic ---------------------------------------------------------

TEST(VolumePanel_Rules, VolumeToPictureStepsAreTwentyEqualBands) {
    struct Case {
        long volume;
        int step;
    };
    const Case cases[] = {{0, 0},      {3276, 0},   {3277, 1},   {6553, 1},   {6554, 2},   {32767, 9},
                          {32768, 10}, {62259, 18}, {62260, 19}, {65535, 19}, {70000, 19}, {-5, 0}};
    for (const Case& c : cases) EXPECT_EQ(VolumePictureStep(c.volume), c.step) << c.volume;
}

TEST(VolumePanel_Rules, PointerOffsetGivesTheVolumeOfItsBand) {
    const int h = 190;  // one nineteenth is 10 pixels
    struct Case {
        double y;
        std::optional<long> volume;
    };
    const Case cases[] = {
        {0, 65535},
        {0.001, 62086},
        {5, 62086},
        {10, 62086},
        {10.001, 58637},
        {20, 58637},
        {95, 31043},
        {180, 3449},
        {180.001, 0},
        {189.9, 0},
        {190, 0},
        {-0.001, std::nullopt},
        {190.001, std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(VolumeAtOffset(c.y, h), c.volume) << "y = " << c.y;
    EXPECT_EQ(VolumeAtOffset(0, 0), std::nullopt) << "a slider without height takes no input";
}

TEST(VolumePanel_Rules, EverySliderValueShowsItsOwnPictureStep) {
    const int h = 19 * 7;
    long previous = -1;
    for (int band = 19; band >= 0; --band) {
        // A pointer in the middle of the band that gives step `band`.
        const double y = (19 - band) * 7.0 - 3.5;
        const std::optional<long> value = VolumeAtOffset(band == 19 ? 0 : y, h);
        ASSERT_TRUE(value) << band;
        EXPECT_EQ(VolumePictureStep(*value), band) << *value;
        if (previous != -1) {
            EXPECT_LT(*value, previous);
        }
        previous = *value;
    }
}

TEST(VolumePanel_Rules, GeometryCountsZeroAndBelowFromTheFarEdge) {
    const auto g = ParseSlotGeometry("0,-40,0,-40, 10,20,30,40, -40,0,-40,0", 800, 600);
    ASSERT_TRUE(g);
    const std::array<int, 12> expected = {800, 560, 800, 560, 10, 20, 30, 40, 760, 600, 760, 600};
    EXPECT_EQ(g->values, expected);
}

TEST(VolumePanel_Rules, GeometryRoundsFractionsAndRefusesBrokenValues) {
    const auto rounded = ParseSlotGeometry("10.5,11.5,2.5,-0.4,1,2,3,4,5,6,7,8", 800, 600);
    ASSERT_TRUE(rounded);
    EXPECT_EQ(rounded->values[0], 10);
    EXPECT_EQ(rounded->values[1], 12);
    EXPECT_EQ(rounded->values[2], 2);
    EXPECT_EQ(rounded->values[3], 600) << "-0.4 rounds to 0, the far edge";

    for (const char* broken : {"", "1,2,3", "1,2,3,4,5,6,7,8,9,10,11", "1,2,3,4,5,6,7,8,9,10,11,x",
                               "1,2,3,4,5,6,7,8,9,10,11,12,13", "1,2,3,4,5,6,7px,8,9,10,11,12",
                               "1,2,,4,5,6,7,8,9,10,11,12", "1,2,3,4,5,6,7,8,9,10,11,99999999999"})
        EXPECT_FALSE(ParseSlotGeometry(broken, 800, 600)) << broken;
}

// --- opening and binding ----------------------------------------------------

TEST_F(VolumePanelTest, AMixerThatCannotBeOpenedShowsTheMessageAndLeavesThePanelClosed) {
    os.mixer.failOpen = true;
    os.mixer.AddStandardLine(mm::kDstSpeakers, "Master", 1000, 0);
    fake::FakeControl& box = MakeReportBox(400);
    box.text = "before";
    Open();
    EXPECT_EQ(os.toolkit.messageBoxes,
              std::vector<std::string>{
                  "Couldn't open the mixer please check if a audio mixer is installed then retry."});
    EXPECT_EQ(panel.MixerHandle(), 0u);
    EXPECT_FALSE(element(ControlArray::tmrAudio, 0).enabled);
    EXPECT_FALSE(element(ControlArray::imgVol, 0).visible);
    EXPECT_EQ(box.text, "before");
    EXPECT_EQ(os.mixer.lineInfoCalls, 0);
    os.toolkit.Advance(1000);
    EXPECT_TRUE(os.mixer.reads.empty());
}

TEST_F(VolumePanelTest, ACardWithoutCdAudioPutsWaveInSlotOneAndLineInputInSlotTwo) {
    // Added out of order: the search order decides, not the card's.
    os.mixer.AddStandardLine(mm::kSrcLine, "Line In", 10000, 0);
    os.mixer.AddStandardLine(mm::kDstSpeakers, "Master", 20000, 0);
    os.mixer.AddStandardLine(mm::kSrcWaveOut, "Wave", 30000, 0);
    keys["volume1"] = "300,11,21,190,301,211,41,13,302,231,22,22";
    keys["volume2"] = "400,12,22,190,401,212,42,14,402,232,23,23";
    Open();

    EXPECT_NE(panel.MixerHandle(), 0u);
    EXPECT_EQ(PictureOf(ControlArray::imgLbl, 0), LabelFile(0));
    EXPECT_EQ(PictureOf(ControlArray::imgLbl, 1), LabelFile(1));
    EXPECT_EQ(PictureOf(ControlArray::imgLbl, 2), LabelFile(3));
    EXPECT_EQ(PictureOf(ControlArray::imgVol, 1), MeterFile(VolumePictureStep(30000)));
    EXPECT_EQ(PictureOf(ControlArray::imgVol, 2), MeterFile(VolumePictureStep(10000)));
    const fake::FakeControl& wave = element(ControlArray::imgVol, 1);
    EXPECT_EQ(wave.left, 300);
    EXPECT_EQ(wave.top, 11);
    EXPECT_EQ(wave.width, 21);
    const fake::FakeControl& lineLabel = element(ControlArray::imgLbl, 2);
    EXPECT_EQ(lineLabel.left, 401);
    EXPECT_EQ(lineLabel.height, 14);
    EXPECT_EQ(element(ControlArray::imgMute, 2).left, 402);
    for (int slot = 0; slot < 3; ++slot) {
        EXPECT_TRUE(element(ControlArray::imgVol, slot).visible) << slot;
        EXPECT_TRUE(element(ControlArray::imgLbl, slot).visible) << slot;
        EXPECT_TRUE(element(ControlArray::imgMute, slot).visible) << slot;
    }
    for (int slot = 3; slot < kMixerSlots; ++slot) EXPECT_FALSE(element(ControlArray::imgVol, slot).visible);
    EXPECT_TRUE(element(ControlArray::tmrAudio, 0).enabled);
}

TEST_F(VolumePanelTest, LinesAreSearchedInTheFixedKindOrder) {
    const std::uint32_t byKind[] = {4, 4104, 4101, 4098, 4100, 4105, 4097, 4102, 4103, 4099};
    for (int kind = kMixerSlots - 1; kind >= 0; --kind)
        os.mixer.AddStandardLine(byKind[kind], "Kind " + std::to_string(kind), 0, 0);
    Open();
    for (int slot = 0; slot < kMixerSlots; ++slot)
        EXPECT_EQ(PictureOf(ControlArray::imgLbl, slot), LabelFile(slot));
}

TEST_F(VolumePanelTest, FromVistaOnTheMasterSlotTakesTheOutputDestinationWhateverItsKind) {
    os.mixer.AddStandardLine(mm::kDstHeadphones, "Headphones", 20000, 1);
    os.mixer.AddStandardLine(mm::kSrcWaveOut, "Wave", 30000, 0);
    // The line kind slot 0 shows: the master's (0), or on XP the wave output's.
    for (const auto& [system, firstKind] : {std::pair{OsVersion{2, 10, 0, 19043}, 0},
                                            {OsVersion{2, 6, 0, 6002}, 0},
                                            {OsVersion{2, 5, 1, 2600}, 1}}) {
        os.probes.os = system;
        VolumePanel fresh(ctx, form());
        WriteSkin();
        fresh.OpenMixerPanel();
        EXPECT_EQ(PictureOf(ControlArray::imgLbl, 0), LabelFile(firstKind))
            << system.major << "." << system.minor;
        fresh.CloseMixerPanel();
    }
}

TEST_F(VolumePanelTest, ALineWithoutAVolumeControlTakesNoSlot) {
    fake::FakeMixerLine& speakers = os.mixer.AddLine(mm::kDstSpeakers, "Master", "Master");
    os.mixer.AddControl(speakers, mm::kControlMute, {0});
    os.mixer.AddStandardLine(mm::kSrcCompactDisc, "CD", 0, 0);
    Open();
    EXPECT_EQ(PictureOf(ControlArray::imgLbl, 0), LabelFile(2));
    EXPECT_FALSE(element(ControlArray::imgVol, 1).visible);
}

TEST_F(VolumePanelTest, SwitchesShowTheMuteStateReadAtOpening) {
    os.mixer.AddStandardLine(mm::kDstSpeakers, "Master", 0, 1);
    os.mixer.AddStandardLine(mm::kSrcWaveOut, "Wave", 0, 0);
    Open();
    EXPECT_EQ(PictureOf(ControlArray::imgMute, 0), MeterFile(kMeterMuted));
    EXPECT_EQ(PictureOf(ControlArray::imgMute, 1), MeterFile(kMeterSoundOn));
}

TEST_F(VolumePanelTest, ValuesOfZeroAndBelowPlaceElementsFromTheWindowsFarEdge) {
    os.mixer.AddStandardLine(mm::kDstSpeakers, "Master", 0, 0);
    keys["volume0"] = "0,-40,0,-40,-40,0,-40,0,5,6,7,8";
    Open();
    const fake::FakeControl& slider = element(ControlArray::imgVol, 0);
    EXPECT_EQ(slider.left, 800);
    EXPECT_EQ(slider.top, 560);
    EXPECT_EQ(slider.width, 800);
    EXPECT_EQ(slider.height, 560);
    const fake::FakeControl& label = element(ControlArray::imgLbl, 0);
    EXPECT_EQ(label.left, 760);
    EXPECT_EQ(label.top, 600);
    EXPECT_EQ(label.width, 760);
    EXPECT_EQ(label.height, 600);
}

// nullptr stands for a missing key.
class VolumePanelBadGeometry : public MixerScene, public ::testing::WithParamInterface<const char*> {};

TEST_P(VolumePanelBadGeometry, DropsTheSlotButKeepsItsLineReported) {
    os.mixer.AddStandardLine(mm::kDstSpeakers, "Master", 100, 0);
    os.mixer.AddStandardLine(mm::kSrcWaveOut, "Wave", 200, 0);
    if (GetParam()) keys["volume0"] = GetParam();
    else keys.erase("volume0");
    MakeReportBox(400);
    Open();

    for (ControlArray a : {ControlArray::imgVol, ControlArray::imgLbl, ControlArray::imgMute})
        EXPECT_FALSE(element(a, 0).visible);
    EXPECT_TRUE(element(ControlArray::imgVol, 1).visible);
    EXPECT_NE(panel.SoundCardReport().find("Master"), std::string::npos);

    // The dropped slot is never read back, the other one is.
    const size_t readsAtOpen = os.mixer.reads.size();
    os.toolkit.Advance(1000);
    EXPECT_EQ(ReadsOf(os.mixer.Find(mm::kDstSpeakers, mm::kControlVolume)->id), 1) << "only at opening";
    EXPECT_GT(os.mixer.reads.size(), readsAtOpen);
    panel.DragVolumeSlider(kLeftButton, 0, 5);
    EXPECT_TRUE(os.mixer.writes.empty());
}

INSTANTIATE_TEST_SUITE_P(MissingShortOrNotNumbers, VolumePanelBadGeometry,
                         ::testing::Values(nullptr, "1,2,3", "1,2,3,4,5,6,7,8,9,10,11,abc", ""));

TEST_F(VolumePanelTest, ThePictureBankHoldsMeter00ToMeter21AndSkipsMissingKeys) {
    os.mixer.AddStandardLine(mm::kDstSpeakers, "Master", 5 * 3277 + 10, 0);  // step 5
    keys.erase("Meter05");
    Open();
    for (int n = 0; n < kMeterPictures; ++n)
        EXPECT_EQ(PictureOf(ControlArray::imgMeter, n), n == 5 ? "" : MeterFile(n)) << n;
    EXPECT_EQ(PictureOf(ControlArray::imgMeter, 22), "");
    EXPECT_FALSE(element(ControlArray::imgMeter, 0).visible);
    // The slider at the missing step shows nothing, and the theme folder
    // itself is never loaded as a picture.
    EXPECT_EQ(PictureOf(ControlArray::imgVol, 0), "");
    EXPECT_TRUE(element(ControlArray::imgVol, 0).visible);
    const auto& j = os.toolkit.journal;
    EXPECT_EQ(std::count(j.begin(), j.end(), "load " + testing::kTheme), 0);
}

TEST_F(VolumePanelTest, AMissingLabelKeyShowsTheLabelWithoutAPicture) {
    os.mixer.AddStandardLine(mm::kDstSpeakers, "Master", 0, 0);
    os.mixer.AddStandardLine(mm::kSrcWaveOut, "Wave", 0, 0);
    keys.erase("label0");
    Open();
    EXPECT_EQ(PictureOf(ControlArray::imgLbl, 0), "");
    EXPECT_EQ(element(ControlArray::imgLbl, 0).left, 100);
    EXPECT_EQ(PictureOf(ControlArray::imgLbl, 1), LabelFile(1));
    const auto& j = os.toolkit.journal;
    EXPECT_EQ(std::count(j.begin(), j.end(), "load " + testing::kTheme), 0);
}

// --- the slider -------------------------------------------------------------

class VolumePanelBound : public MixerScene {
protected:
    void SetUp() override {
        os.mixer.AddStandardLine(mm::kDstSpeakers, "Master", 40000, 0);
        os.mixer.AddStandardLine(mm::kSrcWaveOut, "Wave", 20000, 1);
        fake::FakeMixerLine& line = os.mixer.AddLine(mm::kSrcLine, "Line In", "Line");
        os.mixer.AddControl(line, mm::kControlVolume, {10000, 10000});  // no mute switch
        Open();
        master = os.mixer.Find(mm::kDstSpeakers, mm::kControlVolume);
        wave = os.mixer.Find(mm::kSrcWaveOut, mm::kControlVolume);
        waveMute = os.mixer.Find(mm::kSrcWaveOut, mm::kControlMute);
        lineIn = os.mixer.Find(mm::kSrcLine, mm::kControlVolume);
        os.mixer.writes.clear();
    }
    fake::FakeMixerControl* master = nullptr;
    fake::FakeMixerControl* wave = nullptr;
    fake::FakeMixerControl* waveMute = nullptr;
    fake::FakeMixerControl* lineIn = nullptr;
};

TEST_F(VolumePanelBound, APressWithTheLeftButtonWritesBothChannelsLeftFirst) {
    panel.DragVolumeSlider(kLeftButton, 1, 10);
    ASSERT_EQ(os.mixer.writes.size(), 1u);
    EXPECT_EQ(os.mixer.writes[0].controlId, wave->id);
    EXPECT_EQ(os.mixer.writes[0].channels, 2u);
    EXPECT_EQ(os.mixer.writes[0].values, (std::vector<std::uint32_t>{62086, 62086}));
    EXPECT_EQ(wave->values, (std::vector<std::uint32_t>{62086, 62086}));
}

TEST_F(VolumePanelBound, OtherButtonsPointersOffTheSliderAndHiddenSlotsChangeNothing) {
    struct Case {
        const char* what;
        int button;
        int slot;
        double y;
    };
    const Case cases[] = {
        {"right button", kRightButton, 1, 50},
        {"left and right together", kLeftButton | kRightButton, 1, 50},
        {"middle button", kMiddleButton, 1, 50},
        {"no button (a plain move)", 0, 1, 50},
        {"above the slider", kLeftButton, 1, -1},
        {"below the slider", kLeftButton, 1, 191},
        {"a slot that was never bound", kLeftButton, 3, 50},
        {"no such slot", kLeftButton, 10, 50},
        {"a negative slot", kLeftButton, -1, 50},
    };
    for (const Case& c : cases) {
        panel.DragVolumeSlider(c.button, c.slot, c.y);
        EXPECT_TRUE(os.mixer.writes.empty()) << c.what;
    }
}

TEST_F(VolumePanelBound, TheCurrentVolumeIsNotWrittenAgain) {
    master->values = {65535, 65535};
    os.toolkit.Advance(250);
    panel.DragVolumeSlider(kLeftButton, 0, 0);
    EXPECT_TRUE(os.mixer.writes.empty());
    panel.DragVolumeSlider(kLeftButton, 0, 190);
    ASSERT_EQ(os.mixer.writes.size(), 1u);
    EXPECT_EQ(os.mixer.writes[0].values, (std::vector<std::uint32_t>{0, 0}));
}

// Events come in the screen's twips: 15 to the pixel at 96 dpi, 12 at 120.
TEST_F(VolumePanelBound, MouseEventsConvertTheScreensTwipsToPixels) {
    for (const int twips : {15, 12}) {
        SCOPED_TRACE(twips);
        os.toolkit.twipsPerPixel = twips;
        os.mixer.writes.clear();
        MouseEvent e;
        e.button = kLeftButton;
        e.x = 9999;        // the horizontal position plays no part
        e.y = 10 * twips;  // 10 pixels: the band just below the top
        panel.imgVol_Mouse(1, e);
        e.y = 190 * twips;
        panel.imgVol_Mouse(1, e);
        e.y = 190 * twips + 1;  // just below the slider
        panel.imgVol_Mouse(1, e);
        ASSERT_EQ(os.mixer.writes.size(), 2u);
        EXPECT_EQ(os.mixer.writes[0].values[0], 62086u);
        EXPECT_EQ(os.mixer.writes[1].values[0], 0u);
    }
}

TEST_F(VolumePanelBound, TheSliderPictureChangesOnlyAtTheNextTick) {
    const std::string before = PictureOf(ControlArray::imgVol, 1);
    panel.DragVolumeSlider(kLeftButton, 1, 0);
    EXPECT_EQ(PictureOf(ControlArray::imgVol, 1), before);
    os.toolkit.Advance(250);
    EXPECT_EQ(PictureOf(ControlArray::imgVol, 1), MeterFile(19));
}

// --- the switch ------------------------------------------------------------

TEST_F(VolumePanelBound, AClickTogglesTheMuteAndThePictureFollowsWithinATick) {
    panel.imgMute_Click(0);
    ASSERT_EQ(os.mixer.writes.size(), 1u);
    EXPECT_EQ(os.mixer.writes[0].channels, 1u);
    EXPECT_EQ(os.mixer.writes[0].values, std::vector<std::uint32_t>{1});
    EXPECT_EQ(PictureOf(ControlArray::imgMute, 0), MeterFile(kMeterSoundOn));
    os.toolkit.Advance(249);
    EXPECT_EQ(PictureOf(ControlArray::imgMute, 0), MeterFile(kMeterSoundOn));
    os.toolkit.Advance(1);
    EXPECT_EQ(PictureOf(ControlArray::imgMute, 0), MeterFile(kMeterMuted));

    panel.imgMute_Click(1);  // wave starts muted
    EXPECT_EQ(os.mixer.writes.back().controlId, waveMute->id);
    EXPECT_EQ(os.mixer.writes.back().values, std::vector<std::uint32_t>{0});
    os.toolkit.Advance(250);
    EXPECT_EQ(PictureOf(ControlArray::imgMute, 1), MeterFile(kMeterSoundOn));
}

TEST_F(VolumePanelBound, TheSwitchOfALineWithoutMuteShowsSoundOnAndTouchesNoControl) {
    // The speakers' volume is control 0, the identifier a zeroed record names.
    ASSERT_EQ(master->id, 0u);
    EXPECT_EQ(PictureOf(ControlArray::imgMute, 2), MeterFile(kMeterSoundOn));
    panel.imgMute_Click(2);
    EXPECT_TRUE(os.mixer.writes.empty());
    os.toolkit.Advance(1000);
    EXPECT_EQ(PictureOf(ControlArray::imgMute, 2), MeterFile(kMeterSoundOn));
    EXPECT_EQ(master->values, (std::vector<std::uint32_t>{40000, 40000}));
}

// --- the timer ---------------------------------------------------------------

TEST_F(VolumePanelBound, AVolumeChangedElsewhereShowsWithinAQuarterSecond) {
    const int loads = element(ControlArray::imgVol, 0).pictureLoads;
    os.toolkit.Advance(1000);
    EXPECT_EQ(element(ControlArray::imgVol, 0).pictureLoads, loads) << "no change, no repaint";

    master->values = {3276, 3276};
    os.toolkit.Advance(249);
    EXPECT_EQ(PictureOf(ControlArray::imgVol, 0), MeterFile(VolumePictureStep(40000)));
    os.toolkit.Advance(1);
    EXPECT_EQ(PictureOf(ControlArray::imgVol, 0), MeterFile(0));
    master->values = {3277, 3277};
    os.toolkit.Advance(250);
    EXPECT_EQ(PictureOf(ControlArray::imgVol, 0), MeterFile(1));
}

TEST_F(VolumePanelBound, AFailedReadEmptiesTheSlotForGoodAndKeepsItsPicture) {
    const std::string shown = PictureOf(ControlArray::imgVol, 0);
    master->failReads = true;
    os.toolkit.Advance(250);
    EXPECT_EQ(PictureOf(ControlArray::imgVol, 0), shown);
    EXPECT_TRUE(element(ControlArray::imgVol, 0).visible);

    master->failReads = false;
    master->values = {0, 0};
    const int readsBefore = ReadsOf(master->id);
    os.toolkit.Advance(1000);
    EXPECT_EQ(ReadsOf(master->id), readsBefore);
    EXPECT_EQ(PictureOf(ControlArray::imgVol, 0), shown);
    // The other slots go on.
    wave->values = {0, 0};
    os.toolkit.Advance(250);
    EXPECT_EQ(PictureOf(ControlArray::imgVol, 1), MeterFile(0));
}

TEST_F(VolumePanelBound, AFailedMuteReadCountsAsMuted) {
    os.mixer.Find(mm::kDstSpeakers, mm::kControlMute)->failReads = true;
    os.toolkit.Advance(250);
    EXPECT_EQ(PictureOf(ControlArray::imgMute, 0), MeterFile(kMeterMuted));
}

// --- closing ------------------------------------------------------------------

TEST_F(VolumePanelBound, ClosingHidesTheSlotsStopsTheTimerAndClosesTheDevice) {
    panel.CloseMixerPanel();
    EXPECT_EQ(panel.MixerHandle(), 0u);
    EXPECT_EQ(os.mixer.closes, 1);
    EXPECT_TRUE(os.mixer.openHandles.empty());
    EXPECT_FALSE(element(ControlArray::tmrAudio, 0).enabled);
    for (int slot = 0; slot < kMixerSlots; ++slot)
        for (ControlArray a : {ControlArray::imgVol, ControlArray::imgLbl, ControlArray::imgMute})
            EXPECT_FALSE(element(a, slot).visible) << slot;
    const size_t reads = os.mixer.reads.size();
    panel.tmrAudio_Timer();
    panel.imgMute_Click(0);
    panel.DragVolumeSlider(kLeftButton, 0, 5);
    EXPECT_EQ(os.mixer.reads.size(), reads);
    EXPECT_TRUE(os.mixer.writes.empty());
}

TEST_F(VolumePanelTest, ACardWithoutVolumeControlsShowsNoSlotAndAnEmptyReport) {
    fake::FakeMixerLine& line = os.mixer.AddLine(mm::kDstSpeakers, "Master", "Master");
    os.mixer.AddControl(line, mm::kControlMute, {0});
    fake::FakeControl& box = MakeReportBox(400);
    box.text = "before";
    Open();
    EXPECT_EQ(box.text, "");
    EXPECT_TRUE(element(ControlArray::tmrAudio, 0).enabled);
    for (int slot = 0; slot < kMixerSlots; ++slot) EXPECT_FALSE(element(ControlArray::imgVol, slot).visible);
    os.toolkit.Advance(1000);
    EXPECT_TRUE(os.mixer.reads.empty());
}

TEST(VolumePanel_Lifetime, ThePanelClosesAnOpenDeviceWhenItGoesAway) {
    fake::FakePlatform os;
    Context ctx{os.bundle};
    testing::PanelEvents events;
    auto form = os.toolkit.CreateForm(FormKind::Main, events);
    {
        VolumePanel panel{ctx, *form};
        panel.OpenMixerPanel();
        EXPECT_EQ(os.mixer.openHandles.size(), 1u);
        panel.OpenMixerPanel();
        EXPECT_EQ(os.mixer.opens, 1) << "built once per run";
    }
    EXPECT_TRUE(os.mixer.openHandles.empty());
    EXPECT_EQ(os.mixer.closes, 1);
}

}  // namespace
}  // namespace corvale
