// The session's lock notices and the display's power settings, as the
// system sends them, reaching a face built on the real toolkit.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <vector>

#include "app/frm_main.h"
#include "base/values.h"
#include "mixer/volume_panel.h"
#include "platform/platform.h"
#include "platform/win32/files_win32.h"
#include "platform/win32/handles.h"
#include "platform/win32/launcher_win32.h"
#include "platform/win32/mixer_win32.h"
#include "platform/win32/probes_win32.h"
#include "platform/win32/profile_win32.h"
#include "platform/win32/shaper_win32.h"
#include "platform/win32/sound_win32.h"
#include "platform/win32/text.h"
#include "platform/win32/visibility_win32.h"
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

// A plain top-level window of this test, destroyed with the object.
struct TestWindow {
    TestWindow(RECT r, DWORD exStyle = 0) {
        window = CreateWindowExW(exStyle | WS_EX_TOOLWINDOW, L"Static", L"", WS_POPUP, r.left, r.top,
                                 r.right - r.left, r.bottom - r.top, nullptr, nullptr, nullptr, nullptr);
    }
    ~TestWindow() { DestroyWindow(window); }
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;
    HWND window;
};

// Which windows above the panel hide it: a mistake one way freezes a face
// someone is looking at, the other way spends the processor behind a
// maximised window. The panel lies at 100,100-300,250 of the screen.
TEST(SightCover, OnlyVisibleOpaqueWindowsAboveHidingEveryPixelCoverThePanel) {
    enum Kind { Plain, Hidden, Below, HalfAlpha, WholeAlpha, ColourKey, Holed };
    struct Above {
        RECT r;
        Kind kind = Plain;
    };
    const struct {
        const char* why;
        std::vector<Above> above;
        bool covered;
    } cases[] = {
        {"nothing above", {}, false},
        {"one window well over it", {{{50, 50, 700, 600}}}, true},
        {"one window of exactly its place", {{{100, 100, 300, 250}}}, true},
        {"two halves together", {{{90, 90, 200, 260}}, {{200, 90, 310, 260}}}, true},
        {"all but one column", {{{100, 100, 299, 250}}}, false},
        {"all but a middle column between two", {{{100, 100, 199, 250}}, {{200, 100, 300, 250}}}, false},
        {"hidden", {{{50, 50, 700, 600}, Hidden}}, false},
        {"below it in the z-order", {{{50, 50, 700, 600}, Below}}, false},
        {"half see-through", {{{50, 50, 700, 600}, HalfAlpha}}, false},
        {"layered but opaque", {{{50, 50, 700, 600}, WholeAlpha}}, true},
        {"layered with a colour key", {{{50, 50, 700, 600}, ColourKey}}, false},
        {"shaped with a hole over it", {{{50, 50, 700, 600}, Holed}}, false},
    };
    TestWindow panel({100, 100, 300, 250});
    ShowWindow(panel.window, SW_SHOWNOACTIVATE);
    for (const auto& c : cases) {
        std::vector<std::unique_ptr<TestWindow>> windows;
        for (const Above& a : c.above) {
            const bool layered = a.kind == HalfAlpha || a.kind == WholeAlpha || a.kind == ColourKey;
            const DWORD exStyle = (a.kind == Below ? 0 : WS_EX_TOPMOST) | (layered ? WS_EX_LAYERED : 0);
            const HWND w = windows.emplace_back(std::make_unique<TestWindow>(a.r, exStyle))->window;
            if (a.kind == HalfAlpha) SetLayeredWindowAttributes(w, 0, 128, LWA_ALPHA);
            if (a.kind == WholeAlpha) SetLayeredWindowAttributes(w, 0, 255, LWA_ALPHA);
            if (a.kind == ColourKey) SetLayeredWindowAttributes(w, RGB(255, 0, 255), 0, LWA_COLORKEY);
            if (a.kind == Holed) {
                UniqueRegion shape(CreateRectRgn(0, 0, 650, 550));
                UniqueRegion hole(CreateRectRgn(100, 100, 110, 110));
                CombineRgn(shape.get(), shape.get(), hole.get(), RGN_DIFF);
                SetWindowRgn(w, shape.release(), FALSE);
            }
            if (a.kind != Hidden) ShowWindow(w, SW_SHOWNOACTIVATE);
            if (a.kind == Below)
                SetWindowPos(w, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
        // The first look and the one made while it was covered at the last.
        for (const bool wasCovered : {false, true})
            EXPECT_EQ(CoveredByOthers(panel.window, wasCovered), c.covered)
                << c.why << (wasCovered ? ", again" : "");
    }
}

}  // namespace
}  // namespace corvale::win32::testing
