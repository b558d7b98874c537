// The session's lock notices and the display's power settings, as the
// system sends them, reaching a face built on the real toolkit.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>

#include "app/frm_main.h"
#include "base/values.h"
#include "mixer/mixer_access.h"
#include "mixer/volume_panel.h"
#include "platform/platform.h"
#include "platform/win32/files_win32.h"
#include "platform/win32/launcher_win32.h"
#include "platform/win32/mixer_win32.h"
#include "platform/win32/probes_win32.h"
#include "platform/win32/profile_win32.h"
#include "platform/win32/shaper_win32.h"
#include "platform/win32/sound_win32.h"
#include "platform/win32/text.h"
#include "tests/backend/toolkit_test_support.h"

namespace corvale::win32::testing {
namespace {

// Settings in memory, and a desktop without another panel, so that the
// test neither touches the user's settings nor ends when a panel runs.
struct MemorySettings : SettingsStore {
    std::map<std::string, std::string> values;
    std::string Get(const std::string&, const std::string& s, const std::string& k,
                    const std::string& f) override {
        const auto it = values.find(s + "/" + k);
        return it == values.end() ? f : it->second;
    }
    bool Save(const std::string&, const std::string& s, const std::string& k, const std::string& v) override {
        values[s + "/" + k] = v;
        return true;
    }
};
struct LoneDesktop : Desktop {
    bool PreviousInstanceRunning() override { return false; }
    std::vector<TopWindow> TopLevelWindows() override { return {}; }
    void RaiseWindow(WindowHandle) override {}
};

LPARAM DisplayState(POWERBROADCAST_SETTING& s, DWORD state) {
    s.PowerSetting = {0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
    s.DataLength = sizeof state;
    CopyMemory(s.Data, &state, sizeof state);
    return reinterpret_cast<LPARAM>(&s);
}

TEST(SightNotices, LockAndDisplayOffStopTheTicksAndTheUnlockedFaceShowsTheMixerAsItIs) {
    TempFolder theme(L"corvale-sight");
    std::string skin =
        "[DEFAULT]\n01=spin.gif,A,10,10,8,8\n[VOLUME]\nvolume0=40,10,8,100,60,10,8,8,80,10,8,8\n";
    for (int n = 0; n < 22; ++n) {
        const auto colour = static_cast<std::uint8_t>(10 * n);
        theme.Write(Widen("m" + TwoDigitKey(n) + ".bmp"),
                    test::EncodeBmp(test::Canvas(8, 8, {colour, 0, 0})));
        skin += "Meter" + TwoDigitKey(n) + "=m" + TwoDigitKey(n) + ".bmp\n";
    }
    theme.Write(L"Corvale.skn", std::vector<std::uint8_t>(skin.begin(), skin.end()));
    theme.Write(L"spin.gif", test::EncodeGif({{test::Canvas(8, 8, {200, 0, 0}), 5},
                                              {test::Canvas(8, 8, {0, 200, 0}), 5}}));
    Win32Toolkit toolkit;
    MemorySettings settings;
    settings.values["Default/ProgramDir"] = Narrow(theme.Path()) + "\\";
    ProfileFileReader profile;
    Win32Files files;
    LoneDesktop desktop;
    Win32Sound sound;
    Win32Launcher launcher;
    Win32Shaper shaper;
    Win32Probes probes;
    Win32Mixer mixer;
    Platform platform{toolkit, settings, profile, files, desktop, sound, launcher, shaper, probes, mixer};
    Context ctx(platform);
    FrmMain panel(ctx);
    panel.Load();
    const HWND window = AsHwnd(panel.form().Handle());
    ASSERT_TRUE(window);
    Form& form = panel.form();
    // The speakers' volume, changed by a press on the panel's own slider:
    // Wine's default device refuses a level, and the legacy mixer then
    // holds it for this process alone.
    const auto press = [&](long volume) {
        const double y = volume == 0 ? 100.0 * toolkit.TwipsPerPixelY() : 0;
        panel.OnMouseDown({ControlArray::imgVol, 0}, MouseEvent{kLeftButton, 0, 0, y});
    };
    const auto slider = [&] { return form.Find(ControlArray::imgVol, 0)->Picture(); };
    const auto meter = [&](long v) {
        return form.Find(ControlArray::imgMeter, VolumePictureStep(v))->Picture();
    };
    MixerAccess access(mixer);
    MixerId id = 0;
    MixerControlRecord speakers;
    ASSERT_EQ(mixer.Open(0, id), mm::kNoError);
    ASSERT_TRUE(access.FindLineControl(id, mm::kDstSpeakers, mm::kControlVolume, speakers));
    const long before = access.GetControlValue(id, speakers);

    POWERBROADCAST_SETTING setting{};
    const struct {
        const char* why;
        UINT message;
        WPARAM wParam;
        DWORD display;
        bool resting;
    } notices[] = {
        {"locked", WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK, 0, true},
        {"unlocked", WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK, 0, false},
        {"display off", WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, 0, true},
        {"display dimmed: still seen", WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, 2, false},
        {"display off again", WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, 0, true},
        {"display on", WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, 1, false},
    };
    long volume = 65535;
    // Whether the animation shows another frame at any moment of a while.
    const auto framesMove = [&] {
        const long frame = ctx.g.Main.AnimFrame[1];
        bool moved = false;
        for (int i = 0; i < 40 && !moved; ++i) {
            PumpFor(toolkit, 10);
            moved = ctx.g.Main.AnimFrame[1] != frame;
        }
        return moved;
    };
    for (const auto& n : notices) {
        SendMessageW(window, n.message, n.wParam,
                     n.message == WM_POWERBROADCAST ? DisplayState(setting, n.display) : 0);
        if (!n.resting) EXPECT_EQ(slider(), meter(volume)) << n.why << ": the face is not current";
        for (ControlArray t : {ControlArray::tmrMouse, ControlArray::tmrAudio, ControlArray::tmrExit})
            EXPECT_EQ(form.Find(t, 0)->Enabled(), !n.resting || t == ControlArray::tmrExit) << n.why;
        if (n.resting) {
            volume = volume == 0 ? 65535 : 0;
            press(volume);
            EXPECT_NE(slider(), meter(volume)) << n.why << ": the mixer was read back while resting";
        }
        EXPECT_EQ(framesMove(), !n.resting) << n.why;
    }
    // Windows' default device takes the level for every program: put it back.
    access.SetStereoValue(id, speakers, before, before);
    mixer.Close(id);
}

}  // namespace
}  // namespace corvale::win32::testing
