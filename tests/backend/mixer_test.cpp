// The winmm mixer through the backend: what it reads of the first mixer
// device, compared with the system's own wide answers, and a written
// speakers volume reading back.
#include <gtest/gtest.h>

#include <windows.h>
#include <mmsystem.h>

#include <array>
#include <string>

#include "mixer/mixer_access.h"
#include "platform/win32/mixer_win32.h"
#include "platform/win32/text.h"

namespace corvale::win32 {
namespace {

std::string UpToNul(const std::string& text) { return text.substr(0, text.find('\0')); }

class Win32MixerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(device.Open(0, id), mm::kNoError)
            << "no mixer device 0 (under Wine, ALSA needs a default device such as type null)";
        mixer.reset({&device, id});
    }

    Win32Mixer device{nullptr};  // the legacy mixer alone; endpoint_test.cpp has the endpoints
    MixerId id = 0;
    UniqueMixer mixer;
    MixerAccess access{device};
};

TEST_F(Win32MixerTest, TheSpeakersLineReadsAsTheSystemReportsIt) {
    MixerLineRecord line;
    line.cbStruct = mm::kMixerLineSize;
    line.dwComponentType = mm::kDstSpeakers;
    ASSERT_EQ(device.GetLineInfo(id, line, mm::kGetLineInfoByComponentType), mm::kNoError);
    EXPECT_EQ(line.cbStruct, mm::kMixerLineSize) << "the program sees its own record size";

    MIXERLINEW direct{};
    direct.cbStruct = sizeof direct;
    direct.dwComponentType = MIXERLINE_COMPONENTTYPE_DST_SPEAKERS;
    ASSERT_EQ(mixerGetLineInfoW(reinterpret_cast<HMIXEROBJ>(id), &direct, MIXER_GETLINEINFOF_COMPONENTTYPE),
              MMRESULT{MMSYSERR_NOERROR});
    EXPECT_EQ(line.dwLineID, direct.dwLineID);
    EXPECT_EQ(line.cChannels, direct.cChannels);
    EXPECT_EQ(line.cConnections, direct.cConnections);
    EXPECT_EQ(line.cControls, direct.cControls);
    EXPECT_EQ(line.Target.vDriverVersion, direct.Target.vDriverVersion);
    EXPECT_EQ(UpToNul(line.szName), Narrow(direct.szName));
    EXPECT_EQ(UpToNul(line.szShortName), Narrow(direct.szShortName));
    EXPECT_EQ(UpToNul(line.Target.szPname), Narrow(direct.Target.szPname));
    EXPECT_EQ(line.szName.size(), mm::kLongNameChars) << "the whole fixed field";
    EXPECT_FALSE(UpToNul(line.szName).empty());
}

TEST_F(Win32MixerTest, SpeakersHaveVolumeAndMuteAndWaveOutHasAVolume) {
    MixerControlRecord volume;
    MixerControlRecord mute;
    ASSERT_TRUE(access.FindLineControl(id, mm::kDstSpeakers, mm::kControlVolume, volume));
    EXPECT_EQ(volume.cbStruct, mm::kMixerControlSize);
    EXPECT_EQ(volume.dwControlType, mm::kControlVolume);
    EXPECT_EQ(volume.Bounds.lMinimum, 0);
    EXPECT_EQ(static_cast<std::uint32_t>(volume.Bounds.lMaximum), 65535u);
    ASSERT_TRUE(access.FindLineControl(id, mm::kDstSpeakers, mm::kControlMute, mute));
    EXPECT_EQ(mute.dwControlType, mm::kControlMute);
    EXPECT_NE(mute.dwControlID, volume.dwControlID);

    const long level = access.GetControlValue(id, volume);
    EXPECT_GE(level, 0);
    EXPECT_LE(level, 65535);
    const long muted = access.GetControlValue(id, mute);
    EXPECT_TRUE(muted == 0 || muted == 1) << muted;

    MixerControlRecord wave;
    ASSERT_TRUE(access.FindLineControl(id, mm::kSrcWaveOut, mm::kControlVolume, wave));
    EXPECT_FALSE(UpToNul(access.MixerLine.szName).empty());
    EXPECT_NE(wave.dwControlID, volume.dwControlID);
}

TEST_F(Win32MixerTest, AWrittenSpeakersVolumeReadsBack) {
    MixerControlRecord volume;
    ASSERT_TRUE(access.FindLineControl(id, mm::kDstSpeakers, mm::kControlVolume, volume));
    const long original = access.GetControlValue(id, volume);
    ASSERT_NE(original, -1);

    // The card may keep fewer steps than 65536: what reads back is the
    // nearest step it has, so compare on the panel's own twentieths.
    for (const long wanted : {6898L, 31043L, 62086L}) {
        ASSERT_TRUE(access.SetStereoValue(id, volume, wanted, wanted)) << wanted;
        const long read = access.GetControlValue(id, volume);
        EXPECT_NEAR(read, wanted, 65536 / 40) << wanted;
    }
    EXPECT_TRUE(access.SetControlValue(id, volume, original));
    EXPECT_NEAR(access.GetControlValue(id, volume), original, 65536 / 40);
}

TEST_F(Win32MixerTest, FailuresShowOnlyInTheResult) {
    MixerControlRecord control;
    control.dwControlID = 12345;
    control.szName = "kept";
    // Wine's null device has no telephone line.
    EXPECT_FALSE(access.FindLineControl(id, mm::kSrcTelephone, mm::kControlVolume, control));
    EXPECT_EQ(control.dwControlID, 12345u);
    EXPECT_EQ(control.szName, "kept");
    EXPECT_EQ(access.GetControlValue(id, control), -1);
    EXPECT_FALSE(access.SetControlValue(id, control, 1));

    // A buffer too small for what is asked is refused before the system
    // could write past it.
    std::array<std::uint32_t, 1> one{};
    MixerControlDetailsRecord details;
    details.cbStruct = mm::kMixerControlDetailsSize;
    details.cChannels = 2;
    details.cbDetails = 4;
    details.paDetails = one;
    EXPECT_NE(device.GetControlDetails(id, details, mm::kGetControlDetailsValue), mm::kNoError);
    MixerLineControlsRecord request;
    request.cbStruct = mm::kMixerLineControlsSize;
    request.cControls = 1;
    request.cbmxctrl = mm::kMixerControlSize;
    EXPECT_NE(device.GetLineControls(id, request, mm::kGetLineControlsOneByType), mm::kNoError);
}

TEST(Win32Mixer, ANonexistentDeviceDoesNotOpen) {
    Win32Mixer device;
    MixerId id = 77;
    EXPECT_NE(device.Open(99, id), mm::kNoError);
    EXPECT_EQ(id, 77u);
}

}  // namespace
}  // namespace corvale::win32
