// Short paths and both players against real .wav files.
#include <gtest/gtest.h>

#include <windows.h>
#include <mmsystem.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/win32/files_win32.h"
#include "platform/win32/sound_win32.h"
#include "service_test_support.h"

namespace corvale::win32 {
namespace {

using namespace std::chrono_literals;
using testing::TempFolder;

void PutLittleEndian(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// Mono 8-bit PCM at 8 kHz: `ms` milliseconds of a quiet square wave.
std::string Wave(int ms) {
    const std::uint32_t samples = 8u * static_cast<std::uint32_t>(ms);
    std::string wave = "RIFF";
    PutLittleEndian(wave, 36 + samples, 4);
    wave += "WAVEfmt ";
    PutLittleEndian(wave, 16, 4);
    PutLittleEndian(wave, 1, 2);     // PCM
    PutLittleEndian(wave, 1, 2);     // mono
    PutLittleEndian(wave, 8000, 4);  // samples per second
    PutLittleEndian(wave, 8000, 4);  // bytes per second
    PutLittleEndian(wave, 1, 2);     // block align
    PutLittleEndian(wave, 8, 2);     // bits per sample
    wave += "data";
    PutLittleEndian(wave, samples, 4);
    for (std::uint32_t i = 0; i < samples; ++i) wave += static_cast<char>((i / 20) % 2 ? 0x88 : 0x78);
    return wave;
}

// The number of MCI devices this process has open.
int OpenMciDevices() {
    wchar_t answer[32] = {};
    if (mciSendStringW(L"sysinfo all quantity open", answer, 32, nullptr) != 0) return -1;
    return _wtoi(answer);
}

bool WaveOutAvailable() { return waveOutGetNumDevs() > 0; }

class Win32SoundTest : public ::testing::Test {
protected:
    void SetUp() override { folder.Write("short.wav", Wave(150)); }

    TempFolder folder;
    Win32Sound sound;
};

TEST_F(Win32SoundTest, ShortensAnExistingPathWithBlanksToOneWithoutThatNamesTheSameFile) {
    folder.MakeFolder("Theme With Blanks");
    const std::string wave = Wave(40);
    folder.Write("Theme With Blanks\\Startup Sound.wav", wave);
    const std::string path = folder.PathOf("Theme With Blanks\\Startup Sound.wav");
    const std::string shortPath = sound.ShortPath(path);
    ASSERT_FALSE(shortPath.empty());
    EXPECT_EQ(shortPath.find(' '), std::string::npos) << shortPath;
    Win32Files files;
    const auto bytes = files.ReadAll(shortPath);
    ASSERT_TRUE(bytes.has_value());
    EXPECT_EQ(std::string(bytes->begin(), bytes->end()), wave);
}

TEST_F(Win32SoundTest, GivesNoShortPathForAMissingFile) {
    EXPECT_EQ(sound.ShortPath(folder.PathOf("missing.wav")), "");
    EXPECT_EQ(sound.ShortPath(""), "");
}

TEST_F(Win32SoundTest, FailsSilentlyForFilesThatCannotPlay) {
    folder.Write("empty.wav", "");
    folder.Write("text.wav", "not a wave file at all");
    folder.MakeFolder("folder.wav");
    EXPECT_FALSE(sound.PlaySimple(folder.PathOf("missing.wav")));
    EXPECT_FALSE(sound.PlaySimple(folder.PathOf("folder.wav")));
    for (const char* name : {"missing.wav", "empty.wav", "text.wav", "folder.wav"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(sound.PlayOverlapping(folder.PathOf(name)));
    }
    EXPECT_EQ(OpenMciDevices(), 0);  // a failed open leaves no device behind
}

TEST_F(Win32SoundTest, PlaysAWaveFileThroughTheSimplePlayer) {
    if (!WaveOutAvailable()) GTEST_SKIP() << "no wave output device";
    EXPECT_TRUE(sound.PlaySimple(sound.ShortPath(folder.PathOf("short.wav"))));
    EXPECT_TRUE(sound.PlaySimple(folder.PathOf("short.wav")));  // cuts the first one off
    PlaySoundW(nullptr, nullptr, 0);
}

TEST_F(Win32SoundTest, PlaysOverlappingSoundsAndClosesEachOnceItHasEnded) {
    if (!WaveOutAvailable()) GTEST_SKIP() << "no wave output device";
    folder.Write("second.wav", Wave(1000));
    ASSERT_EQ(OpenMciDevices(), 0);
    ASSERT_TRUE(sound.PlayOverlapping(folder.PathOf("second.wav")));
    testing::PumpFor(50ms);
    ASSERT_TRUE(sound.PlayOverlapping(sound.ShortPath(folder.PathOf("second.wav"))));
    EXPECT_EQ(OpenMciDevices(), 2);  // both at once
    EXPECT_TRUE(testing::PumpUntil([] { return OpenMciDevices() == 0; }, 5000ms));
    ASSERT_TRUE(sound.PlayOverlapping(folder.PathOf("short.wav")));
    EXPECT_TRUE(testing::PumpUntil([] { return OpenMciDevices() == 0; }, 5000ms));
}

TEST_F(Win32SoundTest, ClosesSoundsStillPlayingWhenThePlayerGoes) {
    if (!WaveOutAvailable()) GTEST_SKIP() << "no wave output device";
    folder.Write("long.wav", Wave(10000));
    {
        Win32Sound player;
        ASSERT_TRUE(player.PlayOverlapping(folder.PathOf("long.wav")));
        ASSERT_TRUE(player.PlayOverlapping(folder.PathOf("long.wav")));
        EXPECT_EQ(OpenMciDevices(), 2);
    }
    EXPECT_EQ(OpenMciDevices(), 0);
    testing::PumpFor(100ms);  // late notifications find no player and do no harm
}

}  // namespace
}  // namespace corvale::win32
