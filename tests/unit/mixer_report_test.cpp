// The sound-card report: its column width, its rows in their order, names
// cut at their NUL, and the boxes too narrow or missing.
#include <gtest/gtest.h>

#include "mixer/sound_card_report.h"
#include "tests/unit/mixer_test_scene.h"

namespace corvale {
namespace {

using testing::MixerScene;

TEST(SoundCardReport_Columns, AreHalfTheSpacesAcrossTheBoxLessTwo) {
    struct Case {
        double box;
        double space;
        long columns;
    };
    const Case cases[] = {
        {3840, 120, 14},  // 32 spaces
        {3900, 120, 14},  // 32.5 spaces
        {840, 120, 1},    // 7 spaces
        {720, 120, 1},    // 6 spaces
        {719, 120, 0},    // just under 6
        {480, 120, 0},    // 4 spaces
        {360, 120, 0},    // 3 spaces: below four, still an empty column
        {0, 120, 0},
        {3840, 0, 0},  // a font whose space measures nothing
        {1e12, 1, kMaxReportColumns},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReportColumnsFor(c.box, c.space), c.columns) << c.box << "/" << c.space;
}

TEST(SoundCardReport_Rows, FitLabelAndValueToTheColumnWidth) {
    EXPECT_EQ(ReportRow("Channels:", "2", 12), "Channels:    2           \r\n");
    EXPECT_EQ(ReportRow("AudioDevice:", "Master Volume", 5), "Audio Maste\r\n");
    EXPECT_EQ(ReportRow("Controls:", "2", 0), " \r\n");
    EXPECT_EQ(ReportRow("Gerät", "Lautstärke", 6), "Gerät  Lautst\r\n") << "cut by characters";
}

TEST(SoundCardReport_Rows, TheCardRowsComeOnlyBeforeTheFirstLine) {
    MixerLineRecord line;
    line.Target.szPname = std::string("Card\0old", 8);
    line.Target.vDriverVersion = 0x0A0B;
    line.szName = std::string("Speakers\0\0\0", 11);
    line.szShortName = "Spk";
    line.cChannels = 2;
    line.cConnections = 4;
    line.cControls = 3;
    std::string report;
    AppendLineRows(report, line, 8);
    AppendLineRows(report, line, 8);
    const std::string block =
        " \r\n"
        "AudioDev Speakers\r\n"
        "Channels 2       \r\n"
        "Connecti 4       \r\n"
        "Controls 3       \r\n"
        "Shortnam Spk     \r\n";
    EXPECT_EQ(report,
              "SoundCar Card    \r\n"
              "Driver V 2571    \r\n" +
                  block + block);
}

using SoundCardReportTest = MixerScene;

TEST_F(SoundCardReportTest, ThreeLinesGiveTheCardRowsAndThreeBlocksInTheBox) {
    fake::FakeMixerLine& master =
        os.mixer.AddLine(mm::kDstSpeakers, "Master Volume", std::string("Master\0junk", 11), 2, 3);
    os.mixer.AddControl(master, mm::kControlVolume, {1, 1});
    os.mixer.AddControl(master, mm::kControlMute, {0});
    fake::FakeMixerLine& wave =
        os.mixer.AddLine(mm::kSrcWaveOut, "Wave Output Device Of This Card", "Wave", 2, 0);
    os.mixer.AddControl(wave, mm::kControlVolume, {1, 1});
    fake::FakeMixerLine& mic = os.mixer.AddLine(mm::kSrcMicrophone, "Mic", "Mic", 1, 0);
    os.mixer.AddControl(mic, mm::kControlVolume, {1});
    os.mixer.AddControl(mic, mm::kControlMute, {0});
    fake::FakeControl& box = MakeReportBox(256);  // 32 spaces: 14 columns
    Open();

    const std::string expected =
        "SoundCard      Fake Audio Mix\r\n"
        "Driver Version 1281          \r\n"
        " \r\n"
        "AudioDevice:   Master Volume \r\n"
        "Channels:      2             \r\n"
        "Connections:   3             \r\n"
        "Controls:      2             \r\n"
        "Shortname:     Master        \r\n"
        " \r\n"
        "AudioDevice:   Wave Output De\r\n"
        "Channels:      2             \r\n"
        "Connections:   0             \r\n"
        "Controls:      1             \r\n"
        "Shortname:     Wave          \r\n"
        " \r\n"
        "AudioDevice:   Mic           \r\n"
        "Channels:      1             \r\n"
        "Connections:   0             \r\n"
        "Controls:      2             \r\n"
        "Shortname:     Mic           \r\n";
    EXPECT_EQ(box.text, expected);
    EXPECT_EQ(panel.SoundCardReport(), expected);
    // The window now measures in the box's font.
    EXPECT_EQ(form().fontName, "Lucida Console");
    EXPECT_DOUBLE_EQ(form().fontSize, 10);
}

TEST_F(SoundCardReportTest, TheColumnWidthFollowsTheScreensTwipsPerPixel) {
    os.toolkit.twipsPerPixel = 12;  // the box is 3072 twips: 25.6 spaces, 10 columns
    os.mixer.AddStandardLine(mm::kDstSpeakers, "Master", 0, 0);
    fake::FakeControl& box = MakeReportBox(256);
    Open();
    EXPECT_EQ(box.text.substr(0, box.text.find("\r\n")), "SoundCard  Fake Audio");
}

TEST_F(SoundCardReportTest, NarrowBoxesGiveRowsOfASingleSpace) {
    struct Case {
        const char* what;
        int width;
    };
    const Case cases[] = {
        {"five spaces wide", 40}, {"four spaces wide", 32}, {"three spaces wide", 24}, {"no width", 0}};
    for (const Case& c : cases) {
        fake::FakePlatform other;
        Context otherCtx{other.bundle};
        otherCtx.g = ctx.g;
        testing::PanelEvents otherEvents;
        auto otherForm = other.toolkit.CreateForm(FormKind::Main, otherEvents);
        other.mixer.AddStandardLine(mm::kDstSpeakers, "Master", 0, 0);
        other.mixer.AddStandardLine(mm::kSrcWaveOut, "Wave", 0, 0);
        otherForm->Create(ControlArray::txtBox, 1);
        Control* box = otherForm->Create(ControlArray::txtBox, 2);
        static_cast<fake::FakeControl*>(box)->width = c.width;
        VolumePanel otherPanel{otherCtx, *otherForm};
        otherPanel.OpenMixerPanel();

        std::string expected;
        for (int row = 0; row < 2 + 2 * 6; ++row) expected += " \r\n";
        EXPECT_EQ(box->Text(), expected) << c.what;
    }
}

TEST_F(SoundCardReportTest, WithoutASecondTextBoxThePanelWorksAndNoReportIsMade) {
    os.mixer.AddStandardLine(mm::kDstSpeakers, "Master", 30000, 0);
    form().Create(ControlArray::txtBox, 1);
    Open();
    EXPECT_TRUE(element(ControlArray::imgVol, 0).visible);
    EXPECT_EQ(panel.SoundCardReport(), "");
    EXPECT_EQ(form().fontName, "MS Sans Serif") << "the window's font is left alone";
    EXPECT_EQ(element(ControlArray::txtBox, 1).text, "");
}

}  // namespace
}  // namespace corvale
