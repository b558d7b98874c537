// The session's lock notices and the display's power settings, as the
// system sends them, reaching a face built on the real toolkit.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>

#include "app/frm_main.h"
#include "base/values.h"
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

// Settings in memory and a desktop without another panel: the test touches
// no one's settings and cannot be ended as a second instance.
struct MemorySettings : SettingsStore {
    std::map<std::string, std::string> values;
    std::string Get(const std::string&, const std::string& s, const std::string& k,
                    const std::string& f) override {
        return values.contains(s + k) ? values[s + k] : f;
    }
    bool Save(const std::string&, const std::string& s, const std::string& k, const std::string& v) override {
        return (values[s + k] = v), true;
    }
    bool Delete(const std::string&, const std::string& s, const std::string& k) override {
        return values.erase(s + k), true;
    }
};
struct LoneDesktop : Desktop {
    bool PreviousInstanceRunning() override { return false; }
    std::vector<TopWindow> TopLevelWindows() override { return {}; }
    void RaiseWindow(WindowHandle) override {}
};

TEST(SightNotices, LockAndDisplayOffStopTheTicksAndTheFaceIsCurrentOnceUnlockedOrOn) {
    TempFolder theme(L"corvale-sight");
    std::string skin =
        "[DEFAULT]\n01=spin.gif,A,10,10,8,8\n[VOLUME]\nvolume0=40,10,8,100,60,10,8,8,80,10,8,8\n";
    for (int n = 0; n < 22; ++n) {
        theme.Write(Widen("m" + TwoDigitKey(n) + ".bmp"),
                    test::EncodeBmp(test::Canvas(8, 8, {static_cast<std::uint8_t>(10 * n), 0, 0})));
        skin += "Meter" + TwoDigitKey(n) + "=m" + TwoDigitKey(n) + ".bmp\n";
    }
    theme.Write(L"Corvale.skn", std::vector<std::uint8_t>(skin.begin(), skin.end()));
    theme.Write(L"spin.gif",
                test::EncodeGif({{test::Canvas(8, 8, {200, 0, 0}), 5}, {test::Canvas(8, 8, {}), 5}}));
    Win32Toolkit toolkit;
    MemorySettings settings;
    settings.values["DefaultProgramDir"] = Narrow(theme.Path()) + "\\";
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
    Form& form = panel.form();
    const auto slider = [&] { return form.Find(ControlArray::imgVol, 0)->Picture(); };
    const auto meter = [&](int step) { return form.Find(ControlArray::imgMeter, step)->Picture(); };

    POWERBROADCAST_SETTING setting{
        {0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}}, sizeof(DWORD), {}};
    const struct {
        const char* why;
        UINT message;
        WPARAM wParam;
        BYTE display;  // 0 off, 1 on, 2 dimmed
        bool resting;
    } notices[] = {
        {"locked", WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK, 0, true},
        {"unlocked", WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK, 0, false},
        {"display off", WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, 0, true},
        {"display dimmed: still seen", WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, 2, false},
        {"display off again", WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, 0, true},
        {"display on", WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, 1, false},
    };
    int step = VolumePictureStep(65535);
    for (const auto& n : notices) {
        setting.Data[0] = n.display;
        SendMessageW(AsHwnd(form.Handle()), n.message, n.wParam,
                     n.message == WM_POWERBROADCAST ? reinterpret_cast<LPARAM>(&setting) : 0);
        if (!n.resting) {
            EXPECT_EQ(slider(), meter(step)) << n.why << ": the face is not current";
        }
        for (ControlArray t : {ControlArray::tmrMouse, ControlArray::tmrAudio})
            EXPECT_EQ(form.Find(t, 0)->Enabled(), !n.resting) << n.why;
        EXPECT_EQ(form.Find(ControlArray::tmrAnim, 1)->Enabled(), !n.resting) << n.why;
        if (!n.resting) continue;
        // A press on the slider's far end sets the speakers' volume through
        // the mixer; the slider follows once it is read back.
        step = step == 0 ? 19 : 0;
        panel.OnMouseDown({ControlArray::imgVol, 0},
                          {kLeftButton, 0, 0, step == 0 ? 100.0 * toolkit.TwipsPerPixelY() : 0});
        PumpFor(toolkit, 400);
        EXPECT_NE(slider(), meter(step)) << n.why << ": the mixer was read back while resting";
    }
}

}  // namespace
}  // namespace corvale::win32::testing
