// Mixer access against the simulated card: the records it fills, what a
// failed look-up leaves behind, and the channel layout of reads and writes.
#include <gtest/gtest.h>

#include "mixer/mixer_access.h"
#include "tests/fake/fake_mixer.h"

namespace corvale {
namespace {

class MixerAccessTest : public ::testing::Test {
protected:
    MixerAccessTest() { EXPECT_EQ(card.Open(0, mixer), mm::kNoError); }

    fake::FakeMixer card;
    MixerAccess access{card};
    MixerId mixer = 0;
};

TEST_F(MixerAccessTest, FindLineControlFillsTheControlAndLeavesTheLineBehind) {
    card.AddStandardLine(mm::kSrcWaveOut, "Wave", 100, 0);
    fake::FakeMixerLine& speakers = card.AddLine(mm::kDstSpeakers, "Master Volume", "Master", 2, 3);
    const fake::FakeMixerControl& volume = card.AddControl(speakers, mm::kControlVolume, {40000, 40000});
    card.AddControl(speakers, mm::kControlMute, {0});

    MixerControlRecord control;
    ASSERT_TRUE(access.FindLineControl(mixer, mm::kDstSpeakers, mm::kControlVolume, control));
    EXPECT_EQ(control.cbStruct, mm::kMixerControlSize);
    EXPECT_EQ(control.dwControlID, volume.id);
    EXPECT_EQ(control.dwControlType, mm::kControlVolume);
    EXPECT_EQ(control.Bounds.lMaximum, 65535);

    EXPECT_EQ(access.MixerLine.dwLineID, speakers.lineId);
    EXPECT_EQ(access.MixerLine.dwComponentType, mm::kDstSpeakers);
    EXPECT_EQ(access.MixerLine.cChannels, 2u);
    EXPECT_EQ(access.MixerLine.cConnections, 3u);
    EXPECT_EQ(access.MixerLine.cControls, 2u);
    EXPECT_EQ(access.MixerLine.szName.substr(0, 14), std::string("Master Volume\0", 14));
    EXPECT_EQ(access.MixerLine.Target.szPname.substr(0, card.productName.size()), card.productName);
}

TEST_F(MixerAccessTest, AFailedLookUpChangesOnlyTheRecordSize) {
    card.AddStandardLine(mm::kSrcWaveOut, "Wave", 100, -1);
    MixerControlRecord before;
    before.cbStruct = 7;
    before.dwControlID = 42;
    before.cMultipleItems = 3;
    before.szName = "kept";

    struct Case {
        const char* what;
        std::uint32_t componentType;
        std::uint32_t controlType;
    };
    const Case cases[] = {
        {"a card without a speakers line", mm::kDstSpeakers, mm::kControlVolume},
        {"a line without a mute switch", mm::kSrcWaveOut, mm::kControlMute},
    };
    for (const Case& c : cases) {
        MixerControlRecord control = before;
        EXPECT_FALSE(access.FindLineControl(mixer, c.componentType, c.controlType, control)) << c.what;
        EXPECT_EQ(control.cbStruct, mm::kMixerControlSize) << c.what;
        EXPECT_EQ(control.dwControlID, 42u) << c.what;
        EXPECT_EQ(control.cMultipleItems, 3u) << c.what;
        EXPECT_EQ(control.szName, "kept") << c.what;
    }
    MixerControlRecord volume;
    EXPECT_TRUE(access.FindLineControl(mixer, mm::kSrcWaveOut, mm::kControlVolume, volume));
}

TEST_F(MixerAccessTest, GetControlValueReadsOneChannelAndGivesMinusOneOnFailure) {
    fake::FakeMixerLine& line = card.AddLine(mm::kDstSpeakers, "Master", "Master");
    fake::FakeMixerControl& volume = card.AddControl(line, mm::kControlVolume, {30000, 20000});
    MixerControlRecord control;
    ASSERT_TRUE(access.FindLineControl(mixer, mm::kDstSpeakers, mm::kControlVolume, control));

    EXPECT_EQ(access.GetControlValue(mixer, control), 30000);
    ASSERT_EQ(card.reads.size(), 1u);
    EXPECT_EQ(card.reads[0].channels, 1u);
    EXPECT_EQ(card.reads[0].multipleItems, 0u);

    volume.failReads = true;
    EXPECT_EQ(access.GetControlValue(mixer, control), -1);
    volume.failReads = false;

    MixerControlRecord unknown = control;
    unknown.dwControlID = 999;
    EXPECT_EQ(access.GetControlValue(mixer, unknown), -1);
    EXPECT_EQ(access.GetControlValue(mixer + 1, control), -1) << "a handle that is not open";
}

TEST_F(MixerAccessTest, SetControlValueWritesOneChannelThatTheCardAppliesToAll) {
    fake::FakeMixerLine& line = card.AddLine(mm::kDstSpeakers, "Master", "Master");
    fake::FakeMixerControl& mute = card.AddControl(line, mm::kControlMute, {0, 0});
    MixerControlRecord control;
    ASSERT_TRUE(access.FindLineControl(mixer, mm::kDstSpeakers, mm::kControlMute, control));

    EXPECT_TRUE(access.SetControlValue(mixer, control, 1));
    ASSERT_EQ(card.writes.size(), 1u);
    EXPECT_EQ(card.writes[0].channels, 1u);
    EXPECT_EQ(card.writes[0].values, std::vector<std::uint32_t>{1});
    EXPECT_EQ(mute.values, (std::vector<std::uint32_t>{1, 1}));

    mute.failWrites = true;
    EXPECT_FALSE(access.SetControlValue(mixer, control, 0));
    EXPECT_EQ(mute.values, (std::vector<std::uint32_t>{1, 1}));
}

TEST_F(MixerAccessTest, SetStereoValueSendsLeftThenRightWithTheControlsItemCount) {
    fake::FakeMixerLine& line = card.AddLine(mm::kSrcWaveOut, "Wave", "Wave");
    fake::FakeMixerControl& volume = card.AddControl(line, mm::kControlVolume, {0, 0});
    MixerControlRecord control;
    ASSERT_TRUE(access.FindLineControl(mixer, mm::kSrcWaveOut, mm::kControlVolume, control));

    EXPECT_TRUE(access.SetStereoValue(mixer, control, 1000, 2000));
    ASSERT_EQ(card.writes.size(), 1u);
    EXPECT_EQ(card.writes[0].channels, 2u);
    EXPECT_EQ(card.writes[0].values, (std::vector<std::uint32_t>{1000, 2000}));
    EXPECT_EQ(volume.values, (std::vector<std::uint32_t>{1000, 2000}));

    control.cMultipleItems = 1;
    EXPECT_TRUE(access.SetStereoValue(mixer, control, 5, 6));
    EXPECT_EQ(card.writes.back().multipleItems, 1u);

    // A mono line refuses two channels: the failure shows in the result.
    fake::FakeMixerLine& mono = card.AddLine(mm::kSrcMicrophone, "Mic", "Mic", 1);
    card.AddControl(mono, mm::kControlVolume, {7});
    MixerControlRecord mic;
    ASSERT_TRUE(access.FindLineControl(mixer, mm::kSrcMicrophone, mm::kControlVolume, mic));
    EXPECT_FALSE(access.SetStereoValue(mixer, mic, 1, 1));
}

}  // namespace
}  // namespace corvale
