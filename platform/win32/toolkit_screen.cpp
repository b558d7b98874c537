// Screen densities, read from the system where it has the calls for them.
#include "platform/win32/toolkit_screen.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "platform/win32/handles.h"

namespace corvale::win32 {
namespace {

// Densities outside this are a broken answer, not a screen.
int Sane(int dpi) { return dpi >= 24 && dpi <= 2400 ? dpi : 0; }

// The density calls are looked up, not linked: Windows 7 has none of them
// (GetDpiForWindow and GetDpiForSystem came with Windows 10 1607,
// GetDpiForMonitor with 8.1), and a program that links them does not start there.
template <typename Function>
Function SystemCall(const wchar_t* module, const char* name) {
    const HMODULE loaded = GetModuleHandleW(module) ? GetModuleHandleW(module) : LoadLibraryW(module);
    return loaded ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(loaded, name)))
                  : nullptr;
}

using DpiForWindow = UINT(WINAPI*)(HWND);
using DpiForSystem = UINT(WINAPI*)();
using DpiForMonitor = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);

int LogicalDpiOfScreen() {
    const UniqueWindowDC screen = GetWindowDCOf(nullptr);
    return screen ? Sane(GetDeviceCaps(screen.get().dc, LOGPIXELSX)) : 0;
}

int MonitorDpi(HWND window) {
    static const auto call = SystemCall<DpiForMonitor>(L"shcore.dll", "GetDpiForMonitor");
    if (!call) return 0;
    UINT x = 0, y = 0;
    const HMONITOR monitor = MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY);
    return monitor && SUCCEEDED(call(monitor, 0 /* MDT_EFFECTIVE_DPI */, &x, &y)) ? Sane(static_cast<int>(x))
                                                                                  : 0;
}

int programDpi = 0;  // 0 until a main form is made

}  // namespace

// A process's system density is fixed for its lifetime, so it is asked
// once: under Wine every screen DC costs several trips to the server.
int SystemDpi() {
    static const int dpi = [] {
        static const auto call = SystemCall<DpiForSystem>(L"user32.dll", "GetDpiForSystem");
        int found = call ? Sane(static_cast<int>(call())) : 0;
        if (!found) found = LogicalDpiOfScreen();
        return found ? found : kSkinDpi;
    }();
    return dpi;
}

int WindowDpi(HWND window) {
    static const auto call = SystemCall<DpiForWindow>(L"user32.dll", "GetDpiForWindow");
    int dpi = window && call ? Sane(static_cast<int>(call(window))) : 0;
    if (!dpi && window) dpi = MonitorDpi(window);
    return dpi ? dpi : SystemDpi();
}

int ProgramDpi() { return programDpi ? programDpi : SystemDpi(); }
void SetProgramDpi(int dpi) { programDpi = Sane(dpi); }

namespace {

int HeldToInt(long long value) { return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX)); }

}  // namespace

// Within 2^40 the products below stay in 64 bits; a skin may ask for 2^31.
int ToDevice(long long skin, int dpi) {
    return HeldToInt(SkinToDevice(std::clamp<long long>(skin, -(1LL << 40), 1LL << 40), dpi));
}

int ToSkin(long long device, int dpi) {
    return HeldToInt(DeviceToSkin(std::clamp<long long>(device, -(1LL << 40), 1LL << 40), dpi));
}

int TwipsToPixels(double twips) {
    if (!std::isfinite(twips)) return 0;
    const double pixels = std::round(twips / kTwipsPerSkinPixel);
    if (pixels > 1e6) return 1000000;
    if (pixels < -1e6) return -1000000;
    return static_cast<int>(pixels);
}

COLORREF ToColorRef(Color color) {
    if (color & 0x80000000u) return GetSysColor(static_cast<int>(color & 0xFF));
    return static_cast<COLORREF>(color & 0xFFFFFF);
}

}  // namespace corvale::win32
