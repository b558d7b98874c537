// Giving a window the outline of its picture: a colour key or a region.
#include "platform/win32/shaper_win32.h"

#include <windows.h>

#include "platform/win32/handles.h"

namespace corvale::win32 {

namespace {

HWND ToHwnd(WindowHandle handle) { return reinterpret_cast<HWND>(handle); }

bool AddRectangle(HRGN region, const Rect& rectangle) {
    const UniqueRegion piece(CreateRectRgn(static_cast<int>(rectangle.left), static_cast<int>(rectangle.top),
                                           static_cast<int>(rectangle.right),
                                           static_cast<int>(rectangle.bottom)));
    return piece && CombineRgn(region, region, piece.get(), RGN_OR) != ERROR;
}

}  // namespace

bool Win32Shaper::SetColorKey(WindowHandle window, Color key) {
    const HWND target = ToHwnd(window);
    // The old style may be 0: only the last error tells a failure apart.
    SetLastError(ERROR_SUCCESS);
    const LONG_PTR style = GetWindowLongPtrW(target, GWL_EXSTYLE);
    if (style == 0 && GetLastError() != ERROR_SUCCESS) return false;
    SetLastError(ERROR_SUCCESS);
    if (SetWindowLongPtrW(target, GWL_EXSTYLE, style | WS_EX_LAYERED) == 0 &&
        GetLastError() != ERROR_SUCCESS) {
        return false;
    }
    // The program's colours and COLORREF share one layout: red in the low byte.
    return SetLayeredWindowAttributes(target, static_cast<COLORREF>(key & 0xFFFFFF), 0, LWA_COLORKEY) !=
           FALSE;
}

bool Win32Shaper::SetRegion(WindowHandle window, const std::vector<Rect>& rectangles) {
    UniqueRegion region(CreateRectRgn(0, 0, 0, 0));
    if (!region) return false;
    for (const Rect& rectangle : rectangles) {
        if (!AddRectangle(region.get(), rectangle)) return false;
    }
    if (!SetWindowRgn(ToHwnd(window), region.get(), TRUE)) return false;
    // The window owns the region now and frees it with itself.
    static_cast<void>(region.release());
    return true;
}

}  // namespace corvale::win32
