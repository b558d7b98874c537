// Whether anyone can see a window: minimised, covered by other programs'
// windows, the session locked, the display off, as the system tells it.
#pragma once

#include <windows.h>

#include <vector>

#include "platform/toolkit.h"
#include "platform/unique_handle.h"

namespace corvale::win32 {

// Every pixel of a shown `window` lies under visible, uncloaked, opaque
// top-level windows above it on its desktop, or off every screen.
// `wasCovered`: it was at the last look, and most likely still is, so the
// answer is worked out at once instead of first looking for a point of it
// that shows.
bool CoveredByOthers(HWND window, bool wasCovered = false);

namespace traits {
struct WinEventHook {
    using Handle = HWINEVENTHOOK;
    static Handle Invalid() { return nullptr; }
    static void Release(Handle h) { UnhookWinEvent(h); }
};
struct PowerNotify {
    using Handle = HPOWERNOTIFY;
    static Handle Invalid() { return nullptr; }
    static void Release(Handle h) { UnregisterPowerSettingNotification(h); }
};
struct Module {
    using Handle = HMODULE;
    static Handle Invalid() { return nullptr; }
    static void Release(Handle h) { FreeLibrary(h); }
};
}  // namespace traits

// For its life, a window hears of the session's lock, the display's power
// and other windows being shown, hidden, moved and activated; it keeps what
// the notices said. The window's procedure hands the notices over.
class SightWatch {
public:
    explicit SightWatch(HWND window);
    ~SightWatch();
    SightWatch(const SightWatch&) = delete;
    SightWatch& operator=(const SightWatch&) = delete;

    // Minimised and covered are looked up afresh.
    Sight Now();

    // WM_WTSSESSION_CHANGE's reason.
    void OnSessionChange(WPARAM reason);
    // WM_POWERBROADCAST's PBT_POWERSETTINGCHANGE; false for another setting.
    bool OnPowerSetting(const POWERBROADCAST_SETTING& setting);

    // Other windows changed: the window gets kLookTimer once a short wait
    // is over, so that a burst of moves costs one look.
    void LookSoon();
    static constexpr UINT_PTR kLookTimer = 0x5EE05EE0;  // the controls' timers count up from 1
    void LookTaken() { lookPending_ = false; }

private:
    void RegisterSessionNotices();

    HWND window_;
    bool locked_ = false;
    bool displayOff_ = false;
    bool lookPending_ = false;
    bool covered_ = false;  // at the last look
    UniqueHandle<traits::Module> wts_;
    bool sessionNotices_ = false;
    UniqueHandle<traits::PowerNotify> power_;
    std::vector<UniqueHandle<traits::WinEventHook>> hooks_;
};

}  // namespace corvale::win32
