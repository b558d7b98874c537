// Bringing the program's windows to the user.
#include "platform/win32/foreground.h"

#include <unknwn.h>

#include <atomic>

#include "platform/win32/handles.h"

namespace corvale::win32 {
namespace {

std::atomic<ForegroundRequest> foregroundRequest{nullptr};

bool AsksMinimised(WORD command) {
    return command == SW_MINIMIZE || command == SW_SHOWMINIMIZED || command == SW_SHOWMINNOACTIVE ||
           command == SW_FORCEMINIMIZE;
}

UINT RaiseRequestMessage() {
    static const UINT message = RegisterWindowMessageW(L"VEXAL Terminal - Corvale: come forward");
    return message;
}

// Joins COM for one call; a thread that has it already keeps it as it was.
class ScopedCom {
public:
    ScopedCom() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ScopedCom() {
        if (SUCCEEDED(result_)) CoUninitialize();
    }
    ScopedCom(const ScopedCom&) = delete;
    ScopedCom& operator=(const ScopedCom&) = delete;

private:
    HRESULT result_;
};

// Windows 10's virtual-desktop manager, declared here: the program is built
// for Windows 7, whose headers leave it out.
struct VirtualDesktopManager : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE IsWindowOnCurrentVirtualDesktop(HWND window, BOOL* onCurrent) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetWindowDesktopId(HWND window, GUID* desktop) = 0;
    virtual HRESULT STDMETHODCALLTYPE MoveWindowToDesktop(HWND window, REFGUID desktop) = 0;
};
constexpr CLSID kVirtualDesktopManagerClass = {
    0xaa509086, 0x5ca9, 0x4c25, {0x8f, 0x95, 0x58, 0x9d, 0x3c, 0x07, 0xb4, 0x8a}};
constexpr IID kVirtualDesktopManagerInterface = {
    0xa5cd92ff, 0x29be, 0x454c, {0x8d, 0x04, 0xd8, 0x28, 0x79, 0xfb, 0x3f, 0x1b}};

// A panel left on another virtual desktop is moved to the one the user is
// on, the desktop of the window the user works in. Only the window's own
// process may move it. Before Windows 10 (and under Wine) there is no
// manager, and nothing to do.
void MoveToCurrentDesktop(HWND window) {
    const ScopedCom com;
    VirtualDesktopManager* raw = nullptr;
    if (FAILED(CoCreateInstance(kVirtualDesktopManagerClass, nullptr, CLSCTX_ALL,
                                kVirtualDesktopManagerInterface, reinterpret_cast<void**>(&raw))))
        return;
    const UniqueCom<VirtualDesktopManager> manager(raw);
    BOOL onCurrent = TRUE;
    if (FAILED(manager.get()->IsWindowOnCurrentVirtualDesktop(window, &onCurrent)) || onCurrent) return;
    // The taskbar and the desktop are on every desktop and answer no id.
    GUID desktop = GUID_NULL;
    const HWND working = GetForegroundWindow();
    if (!working || FAILED(manager.get()->GetWindowDesktopId(working, &desktop)) ||
        IsEqualGUID(desktop, GUID_NULL))
        return;
    manager.get()->MoveWindowToDesktop(window, desktop);
}

}  // namespace

void ShowAsStarted(HWND window) {
    static std::atomic<bool> shownBefore{false};
    if (shownBefore.exchange(true)) {
        ShowWindow(window, SW_SHOW);
        return;
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    GetStartupInfoW(&startup);
    const bool minimised = (startup.dwFlags & STARTF_USESHOWWINDOW) && AsksMinimised(startup.wShowWindow);
    // Not activated when minimised: the user stays where the shortcut was.
    ShowWindow(window, minimised ? SW_SHOWMINNOACTIVE : SW_SHOWNORMAL);
    // Windows may put the starting program's command in place of ours on
    // the process's first ShowWindow; "maximised" is undone at once.
    if (IsZoomed(window)) ShowWindow(window, SW_RESTORE);
}

void SetForegroundRequest(ForegroundRequest request) { foregroundRequest = request; }

bool BringToForeground(HWND window) {
    const ForegroundRequest request = foregroundRequest;
    (request ? request : SetForegroundWindow)(window);
    // The answer is what holds afterwards: the call's own result says only
    // that something was done.
    return GetForegroundWindow() == window;
}

void FlashTaskbarButton(HWND window, bool flash) {
    FLASHWINFO info{};
    info.cbSize = sizeof info;
    info.hwnd = GetAncestor(window, GA_ROOTOWNER);
    // Until stopped: the button belongs to the owner, which is not the
    // window that comes to the foreground when the user answers.
    info.dwFlags = flash ? FLASHW_TRAY | FLASHW_TIMER : FLASHW_STOP;
    if (info.hwnd) FlashWindowEx(&info);
}

void RequestRaise(HWND target) {
    // This start is what the user just did, so it may hand the foreground
    // on; the panel takes it when it reads the request.
    DWORD process = 0;
    if (GetWindowThreadProcessId(target, &process) && process) AllowSetForegroundWindow(process);
    // Posted, never sent: a panel busy in one of its pauses answers later,
    // and this start ends now.
    PostMessageW(target, RaiseRequestMessage(), 0, 0);
}

bool IsRaiseRequest(UINT message) { return message == RaiseRequestMessage(); }

void AcceptRaiseRequests(HWND window) {
    // A panel run as administrator still hears a second start that is not.
    ChangeWindowMessageFilterEx(window, RaiseRequestMessage(), MSGFLT_ALLOW, nullptr);
}

void RaiseOnRequest(HWND window) {
    if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
    MoveToCurrentDesktop(window);
    // Topmost and back again lifts the window over every other without
    // leaving it above the windows the user opens next.
    constexpr UINT kInPlace = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, kInPlace);
    SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, kInPlace);
    // With the prompt up, the keyboard goes to the prompt, not to the
    // window it disabled.
    const HWND popup = GetWindow(window, GW_ENABLEDPOPUP);
    BringToForeground(popup ? popup : window);
}

}  // namespace corvale::win32
