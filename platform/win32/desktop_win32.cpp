// The single-instance mark and the desktop's top-level windows.
#include "platform/win32/desktop_win32.h"

#include <windows.h>

#include "platform/win32/foreground.h"
#include "platform/win32/handles.h"
#include "platform/win32/text.h"

namespace corvale::win32 {

namespace {

// Local\: one mark per session, so another user's panel on the same machine
// is not taken for ours.
constexpr wchar_t kInstanceMutexName[] = L"Local\\VEXAL Terminal - Corvale instance";

// A walk longer than this is a z-order that changed into a loop under us.
constexpr size_t kMaxWindows = 65536;

struct InstanceMark {
    UniqueKernelObject mutex;
    bool previous = false;
};

const InstanceMark& Mark() {
    static const InstanceMark mark = [] {
        InstanceMark made;
        made.mutex.reset(CreateMutexW(nullptr, FALSE, kInstanceMutexName));
        const DWORD error = GetLastError();
        // Denied access means the mutex exists, made by a process we may
        // not open (another integrity level): an instance runs all the same.
        made.previous = error == ERROR_ALREADY_EXISTS || (!made.mutex && error == ERROR_ACCESS_DENIED);
        return made;
    }();
    return mark;
}

HWND ToHwnd(WindowHandle handle) { return reinterpret_cast<HWND>(handle); }
WindowHandle FromHwnd(HWND window) { return reinterpret_cast<WindowHandle>(window); }

std::uint32_t ExStyle(HWND window) {
    return window ? static_cast<std::uint32_t>(GetWindowLongPtrW(window, GWL_EXSTYLE)) : 0;
}

std::string Caption(HWND window) {
    const int length = GetWindowTextLengthW(window);
    if (length <= 0) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    return Narrow(text);
}

TopWindow Describe(HWND window) {
    TopWindow info;
    info.handle = FromHwnd(window);
    info.visible = IsWindowVisible(window) != FALSE;
    info.parent = FromHwnd(GetParent(window));
    const HWND owner = GetWindow(window, GW_OWNER);
    info.owner = FromHwnd(owner);
    info.exStyle = ExStyle(window);
    info.ownerExStyle = ExStyle(owner);
    info.caption = Caption(window);
    return info;
}

}  // namespace

Win32Desktop::Win32Desktop() { Mark(); }

bool Win32Desktop::PreviousInstanceRunning() { return Mark().previous; }

std::vector<TopWindow> Win32Windows::TopLevelWindows() {
    std::vector<TopWindow> windows;
    for (HWND window = GetTopWindow(nullptr); window && windows.size() < kMaxWindows;
         window = GetWindow(window, GW_HWNDNEXT)) {
        windows.push_back(Describe(window));
    }
    return windows;
}

// The panel raises itself: only its own process can restore it without
// waiting for it and move it between virtual desktops.
void Win32Windows::RaiseWindow(WindowHandle window) { RequestRaise(ToHwnd(window)); }

}  // namespace corvale::win32
