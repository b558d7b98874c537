// The speakers destination on its endpoint: a fake endpoint over Wine's
// real legacy mixer for what Wine cannot show (outside changes, device
// changes, refused writes), and Core Audio itself for what it can.
#include <gtest/gtest.h>

#include <windows.h>
#include <endpointvolume.h>
#include <mmdeviceapi.h>
#include <mmsystem.h>

#include <mutex>
#include <thread>
#include <utility>

#include "mixer/mixer_access.h"
#include "mixer/volume_panel.h"
#include "platform/win32/endpoint_binding.h"
#include "platform/win32/endpoint_volume.h"
#include "platform/win32/handles.h"
#include "platform/win32/mixer_win32.h"
#include "service_test_support.h"

namespace corvale::win32 {
namespace {

using namespace std::chrono_literals;
using testing::PumpUntil;

// One device's endpoint as another program would change it.
struct FakeDevice {
    std::mutex mutex;
    float level = 0.5f;
    bool muted = false;
    bool refuseLevel = false;
    bool failReads = false;
    EndpointChanged changed;  // while the program has it open

    // Another program's change, told on a thread of the system's.
    void ChangeOutside(float newLevel, bool newMuted) {
        std::thread([&] {
            EndpointChanged tell;
            {
                const std::lock_guard lock(mutex);
                level = newLevel;
                muted = newMuted;
                tell = changed;
            }
            if (tell) tell(newLevel, newMuted);
        }).join();
    }
};

class FakeEndpoint final : public EndpointVolume {
public:
    FakeEndpoint(std::shared_ptr<FakeDevice> device, EndpointChanged changed) : device_(std::move(device)) {
        const std::lock_guard lock(device_->mutex);
        device_->changed = std::move(changed);
    }
    ~FakeEndpoint() override {
        const std::lock_guard lock(device_->mutex);
        device_->changed = nullptr;
    }
    FakeEndpoint(const FakeEndpoint&) = delete;
    FakeEndpoint& operator=(const FakeEndpoint&) = delete;

    std::optional<float> Level() override {
        const std::lock_guard lock(device_->mutex);
        return device_->failReads ? std::nullopt : std::optional<float>(device_->level);
    }
    std::optional<bool> Muted() override {
        const std::lock_guard lock(device_->mutex);
        return device_->failReads ? std::nullopt : std::optional<bool>(device_->muted);
    }
    bool SetLevel(float level) override {
        const std::lock_guard lock(device_->mutex);
        if (device_->refuseLevel) return false;  // as Wine's E_NOTIMPL
        device_->level = level;
        return true;
    }
    bool SetMuted(bool muted) override {
        const std::lock_guard lock(device_->mutex);
        device_->muted = muted;
        return true;
    }

private:
    std::shared_ptr<FakeDevice> device_;
};

class FakeEndpoints final : public EndpointSource {
public:
    std::unique_ptr<EndpointVolume> OpenDefault(EndpointFlow flow, EndpointChanged changed) override {
        if (flow != EndpointFlow::Render) return nullptr;  // no recording device
        return std::make_unique<FakeEndpoint>(speakers[current], std::move(changed));
    }
    std::unique_ptr<EndpointWatch> WatchDefaults(DefaultChanged changed) override {
        defaultChanged = std::move(changed);
        return std::make_unique<EndpointWatch>();
    }

    void SwitchDefault(std::size_t to) {
        current = to;
        std::thread([&] { defaultChanged(EndpointFlow::Render); }).join();
    }

    std::array<std::shared_ptr<FakeDevice>, 2> speakers{std::make_shared<FakeDevice>(),
                                                        std::make_shared<FakeDevice>()};
    std::size_t current = 0;
    DefaultChanged defaultChanged;
};

// A mixer device with its speakers and wave-output controls looked up as the
// volume panel looks them up.
struct OpenedMixer {
    explicit OpenedMixer(std::shared_ptr<EndpointSource> endpoints) : device(std::move(endpoints)) {
        if (device.Open(0, id) != mm::kNoError) return;
        mixer.reset({&device, id});
        found = access.FindLineControl(id, mm::kDstSpeakers, mm::kControlVolume, volume) &&
                access.FindLineControl(id, mm::kDstSpeakers, mm::kControlMute, mute) &&
                access.FindLineControl(id, mm::kSrcWaveOut, mm::kControlVolume, wave);
    }
    long Volume() { return access.GetControlValue(id, volume); }
    long Mute() { return access.GetControlValue(id, mute); }

    Win32Mixer device;
    MixerId id = 0;
    UniqueMixer mixer;
    MixerAccess access{device};
    MixerControlRecord volume, mute, wave;
    bool found = false;
};

class EndpointMixer : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(panel.found) << "no speakers volume and mute, or no wave output, on mixer device 0";
        ASSERT_TRUE(legacy.found);
    }
    FakeDevice& Speakers(std::size_t n = 0) { return *endpoints->speakers[n]; }

    std::shared_ptr<FakeEndpoints> endpoints = std::make_shared<FakeEndpoints>();
    OpenedMixer panel{endpoints};
    OpenedMixer legacy{nullptr};  // what this process's own session holds
};

// From Vista on a legacy mixer names its one output destination after the
// device: whatever the name, it is the output endpoint (at level 0.5 here).
TEST(EndpointBindingRoutes, EveryOutputDestinationStandsForTheOutputEndpoint) {
    EndpointBinding binding(std::make_shared<FakeEndpoints>());
    const std::pair<DWORD, std::optional<std::uint32_t>> cases[] = {
        {MIXERLINE_COMPONENTTYPE_DST_HEADPHONES, 32768},
        {MIXERLINE_COMPONENTTYPE_DST_DIGITAL, 32768},         // HDMI, S/PDIF
        {MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT, std::nullopt},  // a source stays on the mixer
    };
    for (const auto& [type, read] : cases) {
        binding.NoteControl(type + 100, MIXERCONTROL_CONTROLTYPE_VOLUME, type);
        EXPECT_EQ(binding.Read(type + 100), read) << type;
    }
}

TEST_F(EndpointMixer, TheSpeakersVolumeAndMuteAreTheEndpointsAndTheSourcesStayOnTheMixer) {
    EXPECT_EQ(panel.Volume(), 32768);  // 0.5 of full scale
    EXPECT_EQ(panel.Mute(), 0);
    // A press near the bottom of a slider, and a click on the switch.
    ASSERT_TRUE(panel.access.SetStereoValue(panel.id, panel.volume, 6898, 6898));
    ASSERT_TRUE(panel.access.SetControlValue(panel.id, panel.mute, 1));
    EXPECT_NEAR(Speakers().level, 6898.0 / 65535, 1e-6);
    EXPECT_TRUE(Speakers().muted);
    EXPECT_EQ(panel.Volume(), 6898);
    EXPECT_EQ(panel.Mute(), 1);

    // (Wine's wave-output volume takes writes but reads back nothing.)
    const long sessionBefore = legacy.Volume();
    ASSERT_TRUE(panel.access.SetStereoValue(panel.id, panel.wave, 31043, 31043));
    EXPECT_NEAR(Speakers().level, 6898.0 / 65535, 1e-6) << "a source line's write reached the endpoint";
    EXPECT_EQ(legacy.Volume(), sessionBefore) << "the speakers write went to the session too";
}

TEST_F(EndpointMixer, AnOutsideChangeShowsAtTheNextTickAndItsNoticeOnTheInterfaceThread) {
    Speakers().ChangeOutside(0.25f, true);
    // The panel reads every 250 ms; the change is there at the first read.
    EXPECT_EQ(panel.Volume(), 16384);
    EXPECT_EQ(VolumePictureStep(panel.Volume()), 5);
    EXPECT_EQ(panel.Mute(), 1);

    // The device stops answering; the notice of a last change arrives
    // meanwhile. Until the posted notice is handled the reads tell the last
    // answer; after it, the notice.
    Speakers().failReads = true;
    Speakers().ChangeOutside(0.75f, false);
    EXPECT_EQ(panel.Volume(), 16384);
    EXPECT_TRUE(PumpUntil([&] { return panel.Volume() == 49151; }, 250ms)) << panel.Volume();
    EXPECT_EQ(panel.Mute(), 0);
}

TEST_F(EndpointMixer, ADefaultDeviceChangeRebindsThePanelAndForgetsARefusal) {
    Speakers().refuseLevel = true;
    ASSERT_TRUE(panel.access.SetStereoValue(panel.id, panel.volume, 6898, 6898));  // to the session
    Speakers(1).level = 0.1f;
    Speakers(1).muted = true;
    const EndpointChanged oldNotices = Speakers().changed;

    endpoints->SwitchDefault(1);
    EXPECT_TRUE(PumpUntil([&] { return panel.Volume() == 6554; }, 250ms)) << panel.Volume();
    EXPECT_EQ(panel.Mute(), 1);
    EXPECT_FALSE(Speakers().changed) << "the old device still notifies";
    ASSERT_TRUE(panel.access.SetStereoValue(panel.id, panel.volume, 62086, 62086));
    EXPECT_NEAR(Speakers(1).level, 62086.0 / 65535, 1e-6);
    EXPECT_NEAR(Speakers(0).level, 0.5, 1e-6);

    // A notice the old device sent just before it was let go tells nothing
    // of the new one.
    EXPECT_EQ(panel.Volume(), 62086);
    Speakers(1).failReads = true;
    std::thread([&] { oldNotices(0.9f, false); }).join();
    testing::PumpFor(50ms);
    EXPECT_EQ(panel.Volume(), 62086);
}

TEST_F(EndpointMixer, ARefusedWriteGoesToTheLegacyMixerWhichThenAnswersForThatControl) {
    Speakers().refuseLevel = true;
    ASSERT_TRUE(panel.access.SetStereoValue(panel.id, panel.volume, 31043, 31043));
    EXPECT_NEAR(legacy.Volume(), 31043, 65536 / 40);
    EXPECT_NEAR(Speakers().level, 0.5, 1e-6);
    EXPECT_NEAR(panel.Volume(), 31043, 65536 / 40) << "the volume does not read the session now";
    // The mute, which the endpoint takes, stays on the endpoint.
    ASSERT_TRUE(panel.access.SetControlValue(panel.id, panel.mute, 1));
    EXPECT_TRUE(Speakers().muted);
    EXPECT_EQ(legacy.Mute(), 0);
    ASSERT_TRUE(panel.access.SetControlValue(panel.id, panel.mute, 0));
}

// ---- Core Audio itself ----

// Runs `undo` when the scope ends, also when an assertion ends the test early.
template <typename Undo>
class ScopeExit {
public:
    explicit ScopeExit(Undo undo) : undo_(std::move(undo)) {}
    ~ScopeExit() { undo_(); }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;

private:
    Undo undo_;
};

bool RunningUnderWine() {
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

UniqueCom<IAudioEndpointVolume> DefaultSpeakers() {
    IMMDeviceEnumerator* enumerator = nullptr;
    if (FAILED(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_INPROC_SERVER,
                                __uuidof(IMMDeviceEnumerator), reinterpret_cast<void**>(&enumerator))))
        return {};
    const UniqueCom<IMMDeviceEnumerator> devices(enumerator);
    IMMDevice* device = nullptr;
    if (FAILED(devices.get()->GetDefaultAudioEndpoint(eRender, eConsole, &device))) return {};
    const UniqueCom<IMMDevice> speakers(device);
    IAudioEndpointVolume* volume = nullptr;
    if (FAILED(speakers.get()->Activate(__uuidof(IAudioEndpointVolume), CLSCTX_INPROC_SERVER, nullptr,
                                        reinterpret_cast<void**>(&volume))))
        return {};
    return UniqueCom<IAudioEndpointVolume>(volume);
}

TEST(EndpointMixerOnCoreAudio, TheSpeakersReadTheEndpointTheSwitchMutesItAndTheSliderStillWrites) {
    const std::shared_ptr<EndpointSource> system = MakeCoreAudioEndpoints();
    if (!system) GTEST_SKIP() << "no Core Audio here (before Vista)";
    const UniqueCom<IAudioEndpointVolume> direct = DefaultSpeakers();
    if (!direct) GTEST_SKIP() << "no default output device";
    OpenedMixer panel{system};
    OpenedMixer legacy{nullptr};
    ASSERT_TRUE(panel.found && legacy.found);

    float level = 0;
    BOOL before = FALSE;
    ASSERT_TRUE(SUCCEEDED(direct.get()->GetMasterVolumeLevelScalar(&level)));
    ASSERT_TRUE(SUCCEEDED(direct.get()->GetMute(&before)));
    // The machine's own volume and mute come back however the test ends.
    const ScopeExit restore([&] {
        direct.get()->SetMasterVolumeLevelScalar(level, nullptr);
        direct.get()->SetMute(before, nullptr);
    });
    // This process's session at another level, so the two cannot be mixed up.
    ASSERT_TRUE(legacy.access.SetStereoValue(legacy.id, legacy.volume, 6898, 6898));
    EXPECT_NEAR(panel.Volume(), level * 65535, 1);

    // The switch mutes the endpoint, not the session. Wine keeps the mute
    // per endpoint object, so only Windows shows it through another one.
    const long sessionMute = legacy.Mute();
    ASSERT_TRUE(panel.access.SetControlValue(panel.id, panel.mute, before ? 0 : 1));
    EXPECT_EQ(panel.Mute(), before ? 0 : 1);
    EXPECT_EQ(legacy.Mute(), sessionMute);
    BOOL after = before;
    direct.get()->GetMute(&after);
    if (!RunningUnderWine()) {
        EXPECT_EQ(after != FALSE, before == FALSE) << "the switch did not reach the endpoint";
    }
    ASSERT_TRUE(panel.access.SetControlValue(panel.id, panel.mute, before ? 1 : 0));
    EXPECT_EQ(panel.Mute(), before ? 1 : 0);

    // Where the endpoint takes a level (Windows) it moves; where it refuses
    // one (Wine's E_NOTIMPL) the write lands in the session, and reads back.
    const bool writable = SUCCEEDED(direct.get()->SetMasterVolumeLevelScalar(level, nullptr));
    ASSERT_TRUE(panel.access.SetStereoValue(panel.id, panel.volume, 31043, 31043));
    EXPECT_NEAR(panel.Volume(), 31043, 65536 / 40);
    float now = 0;
    direct.get()->GetMasterVolumeLevelScalar(&now);
    if (writable) {
        EXPECT_NEAR(now * 65535, 31043, 1);
    } else {
        EXPECT_EQ(now, level);
        EXPECT_NEAR(legacy.Volume(), 31043, 65536 / 40);
    }
}

}  // namespace
}  // namespace corvale::win32
