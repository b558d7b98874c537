// Reading mouse and key messages.
#include "platform/win32/toolkit_input.h"

#include <windowsx.h>

#include "platform/display_scale.h"

namespace corvale::win32 {
namespace {

int HeldButtons(WPARAM wParam) {
    int held = 0;
    if (wParam & MK_LBUTTON) held |= kLeftButton;
    if (wParam & MK_RBUTTON) held |= kRightButton;
    if (wParam & MK_MBUTTON) held |= kMiddleButton;
    return held;
}

bool AltDown() { return GetKeyState(VK_MENU) < 0; }

}  // namespace

std::optional<MouseMessage> ReadMouseMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    MouseMessage m;
    switch (message) {
        case WM_MOUSEMOVE: m.phase = MousePhase::Move; break;
        // A double click is a second press for our handlers.
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            m.phase = MousePhase::Down;
            m.button = kLeftButton;
            break;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
            m.phase = MousePhase::Down;
            m.button = kRightButton;
            break;
        case WM_MBUTTONDOWN:
        case WM_MBUTTONDBLCLK:
            m.phase = MousePhase::Down;
            m.button = kMiddleButton;
            break;
        case WM_LBUTTONUP:
            m.phase = MousePhase::Up;
            m.button = kLeftButton;
            break;
        case WM_RBUTTONUP:
            m.phase = MousePhase::Up;
            m.button = kRightButton;
            break;
        case WM_MBUTTONUP:
            m.phase = MousePhase::Up;
            m.button = kMiddleButton;
            break;
        default: return std::nullopt;
    }
    m.held = HeldButtons(wParam);
    if (m.phase == MousePhase::Move) m.button = m.held;
    // wParam says what shift and ctrl were when the message was made; alt
    // is not in it.
    m.shift = ((wParam & MK_SHIFT) ? 1 : 0) | ((wParam & MK_CONTROL) ? 2 : 0) | (AltDown() ? 4 : 0);
    m.x = GET_X_LPARAM(lParam);
    m.y = GET_Y_LPARAM(lParam);
    return m;
}

MouseEvent ToMouseEvent(const MouseMessage& m, int x, int y, int originX, int originY) {
    MouseEvent e;
    e.button = m.button;
    e.shift = m.shift;
    // In double: a control placed near -2^31 puts the difference past an int.
    e.x = (static_cast<double>(x) - originX) * kTwipsPerSkinPixel;
    e.y = (static_cast<double>(y) - originY) * kTwipsPerSkinPixel;
    return e;
}

int KeyboardShiftState() {
    return (GetKeyState(VK_SHIFT) < 0 ? 1 : 0) | (GetKeyState(VK_CONTROL) < 0 ? 2 : 0) | (AltDown() ? 4 : 0);
}

}  // namespace corvale::win32
