// Screen units, densities and colours as the toolkit's callers write them.
#pragma once

#include <windows.h>

#include "platform/display_scale.h"
#include "platform/types.h"

namespace corvale::win32 {

// The density the system gives programs that follow one density for all
// their windows (Windows 7, and Wine).
int SystemDpi();
// The density a window is drawn at: its monitor's where windows follow
// their monitor (Windows 8.1 and later), else the system's.
int WindowDpi(HWND window);

// The density of the program's main window. The screen's size, the work
// area and the cursor reach the program in its skin pixels; the main form
// sets it when it is made and when its density changes.
int ProgramDpi();
void SetProgramDpi(int dpi);

// Skin pixels to device pixels and back at `dpi`, held within what a
// 32-bit coordinate takes.
int ToDevice(long long skin, int dpi);
int ToSkin(long long device, int dpi);

// Twips to whole skin pixels, to the nearest.
int TwipsToPixels(double twips);

// A colour with the high bit set names a system colour by its low byte
// (0x8000000F is the button face), as the classic toolkits allowed.
COLORREF ToColorRef(Color color);

}  // namespace corvale::win32
