// The main window's sight: what it tells the core of who can see it.
#include "platform/win32/toolkit_form.h"

namespace corvale::win32 {

Sight Win32Form::SightNow() {
    if (!sight_) return {};
    told_ = sight_->Now();
    return told_;
}

void Win32Form::TellSight() {
    if (!sight_) return;
    const Sight now = sight_->Now();
    if (now == told_) return;
    told_ = now;
    events_.OnSightChange(now);
}

void Win32Form::OnSessionChange(WPARAM reason) {
    if (!sight_) return;
    sight_->OnSessionChange(reason);
    TellSight();
}

LRESULT Win32Form::OnPowerBroadcast(HWND hwnd, WPARAM wParam, LPARAM lParam) {
    if (wParam != PBT_POWERSETTINGCHANGE || !sight_ || lParam == 0 ||
        !sight_->OnPowerSetting(*reinterpret_cast<const POWERBROADCAST_SETTING*>(lParam)))
        return DefWindowProcW(hwnd, WM_POWERBROADCAST, wParam, lParam);
    TellSight();
    return TRUE;
}

void Win32Form::OnSightLook() {
    if (window_) KillTimer(window_.get(), SightWatch::kLookTimer);
    if (!sight_) return;
    sight_->LookTaken();
    TellSight();
}

}  // namespace corvale::win32
