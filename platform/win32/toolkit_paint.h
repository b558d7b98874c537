// Painting through an off-screen bitmap, so that a background and the
// pictures over it reach the screen in one step, without flicker.
#pragma once

#include <windows.h>

#include "platform/win32/handles.h"

namespace corvale::win32 {

// Runs `draw(dc, area)` for the window's invalid area; `dc` takes the
// window's client coordinates.
template <typename Draw>
void PaintBuffered(HWND window, Draw draw) {
    const UniquePaintDC paint = BeginPaintOf(window);
    if (!paint) return;
    const HDC screen = paint.get().paint.hdc;
    const RECT area = paint.get().paint.rcPaint;
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0) return;
    UniqueMemoryDC buffer = CreateMemoryDC(screen);
    UniqueBitmap surface(CreateCompatibleBitmap(screen, width, height));
    if (!buffer || !surface) {
        draw(screen, area);  // no memory for a buffer: paint straight on
        return;
    }
    {
        ScopedSelect select(buffer.get(), surface.get());
        SetViewportOrgEx(buffer.get(), -area.left, -area.top, nullptr);
        draw(buffer.get(), area);
        BitBlt(screen, area.left, area.top, width, height, buffer.get(), area.left, area.top, SRCCOPY);
    }
}

}  // namespace corvale::win32
