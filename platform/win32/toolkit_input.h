// Mouse and key messages read into the toolkit's neutral terms.
#pragma once

#include <windows.h>

#include <optional>

#include "platform/types.h"

namespace corvale::win32 {

enum class MousePhase { Down, Move, Up };

struct MouseMessage {
    MousePhase phase = MousePhase::Move;
    int button = 0;  // Down/Up: the button concerned; Move: every button held
    int held = 0;    // buttons still held once the message is through
    int shift = 0;   // 1 shift, 2 ctrl, 4 alt
    int x = 0;       // client pixels of the window that got the message
    int y = 0;
};

// nullopt for anything that is not a button or move message of the client area.
std::optional<MouseMessage> ReadMouseMessage(UINT message, WPARAM wParam, LPARAM lParam);

// The event as the handlers see it: the skin pixel (x, y) of the message's
// point, relative to (originX, originY), in twips (15 to the skin pixel).
MouseEvent ToMouseEvent(const MouseMessage& m, int x, int y, int originX, int originY);

// Shift, ctrl and alt as they are now, for key events.
int KeyboardShiftState();

}  // namespace corvale::win32
