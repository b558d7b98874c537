// What the panel's cover check costs against the system calls of the hover
// tick that resting saves. A window of the panel's size at the bottom, and
// above it, from another process as on a desktop, twenty hidden and five
// small shown windows, with one more over the whole screen, one over the
// middle, or none. Prints microseconds a call: covered (as at the looks
// while resting), middle covered, seen, and the hover tick's calls; each
// the quickest of nine rounds, since on a busy machine the others measure
// the others.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cwchar>
#include <functional>
#include <string>
#include <vector>

#include "platform/win32/visibility_win32.h"

namespace {

constexpr wchar_t kClass[] = L"CorvaleBenchSight";
constexpr wchar_t kReady[] = L"CorvaleBenchSightReady";

HWND MakeWindow(int x, int y, int width, int height, bool shown, DWORD exStyle = 0) {
    const HWND window = CreateWindowExW(exStyle, kClass, L"", WS_POPUP, x, y, width, height, nullptr, nullptr,
                                        GetModuleHandleW(nullptr), nullptr);
    if (shown) ShowWindow(window, SW_SHOWNOACTIVATE);
    return window;
}

// The other process: the company, and "cover" or "middle" above it.
int Company(const std::wstring& over) {
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    for (int i = 0; i < 20; ++i) MakeWindow(10 * i, 10 * i, 200, 100, false);
    for (int i = 0; i < 5; ++i) MakeWindow(100 * i, 300, 90, 90, true);
    if (over == L"cover") MakeWindow(0, 0, w, h, true, WS_EX_TOPMOST);
    if (over == L"middle") MakeWindow(w / 4, h / 4, w / 2, h / 2, true, WS_EX_TOPMOST);
    SetEvent(OpenEventW(EVENT_MODIFY_STATE, FALSE, kReady));
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    return 0;
}

double MicrosecondsPerCall(const std::function<void()>& call) {
    constexpr int kCalls = 500;
    double quickest = 1e9;
    for (int round = 0; round < 9; ++round) {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < kCalls; ++i) call();
        quickest = std::min(
            quickest,
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count() /
                kCalls);
    }
    return quickest;
}

// Times `call` with the company of another process, `over` above it.
double WithCompany(const std::wstring& over, const std::function<void()>& call) {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring line = L"\"" + std::wstring(self) + L"\" " + over;
    const HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, kReady);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    double took = -1;
    if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                       &process)) {
        if (WaitForSingleObject(ready, 10000) == WAIT_OBJECT_0) took = MicrosecondsPerCall(call);
        TerminateProcess(process.hProcess, 0);
        WaitForSingleObject(process.hProcess, 5000);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    CloseHandle(ready);
    return took;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kClass;
    if (!RegisterClassW(&wc)) return 1;
    if (argc == 2) return Company(argv[1]);
    const HWND panel =
        MakeWindow(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN) - 28, true);
    const auto check = [&] { corvale::win32::CoveredByOthers(panel); };
    const double covered = WithCompany(L"cover", [&] { corvale::win32::CoveredByOthers(panel, true); });
    const double middle = WithCompany(L"middle", check);
    const double seen = WithCompany(L"none", check);
    const double hover = WithCompany(L"none", [&] {
        POINT at{};
        GetCursorPos(&at);
        WindowFromPoint(at);
        RECT r{};
        GetWindowRect(panel, &r);
    });
    std::printf("%.1f %.1f %.1f %.1f\n", covered, middle, seen, hover);
    return 0;
}
