// Screen metrics read from the screen's DC.
#include "platform/win32/toolkit_screen.h"

#include <cmath>

#include "platform/win32/handles.h"

namespace corvale::win32 {
namespace {

int LogicalDpi(int which) {
    const UniqueWindowDC screen = GetWindowDCOf(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen.get().dc, which) : 0;
    return dpi > 0 ? dpi : 96;
}

}  // namespace

// The system's logical DPI is fixed for a process's lifetime (a change
// applies to programs started after it), so it is asked once: the hover
// update converts with it ten times a second, and under Wine every screen DC
// costs several round trips to the server.
int ScreenTwipsPerPixelX() {
    static const int twips = 1440 / LogicalDpi(LOGPIXELSX);
    return twips;
}

int ScreenTwipsPerPixelY() {
    static const int twips = 1440 / LogicalDpi(LOGPIXELSY);
    return twips;
}

int ScreenLogicalDpiY() {
    static const int dpi = LogicalDpi(LOGPIXELSY);
    return dpi;
}

int TwipsToPixels(double twips, int twipsPerPixel) {
    if (twipsPerPixel <= 0 || !std::isfinite(twips)) return 0;
    const double pixels = std::round(twips / twipsPerPixel);
    if (pixels > 1e6) return 1000000;
    if (pixels < -1e6) return -1000000;
    return static_cast<int>(pixels);
}

COLORREF ToColorRef(Color color) {
    if (color & 0x80000000u) return GetSysColor(static_cast<int>(color & 0xFF));
    return static_cast<COLORREF>(color & 0xFFFFFF);
}

}  // namespace corvale::win32
