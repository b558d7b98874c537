// Screen units and colours as the toolkit's callers write them.
#pragma once

#include <windows.h>

#include "platform/types.h"

namespace corvale::win32 {

// 1440 twips to the logical inch: 15 at 96 dots per inch.
int ScreenTwipsPerPixelX();
int ScreenTwipsPerPixelY();
int ScreenLogicalDpiY();

// Twips to whole pixels, to the nearest.
int TwipsToPixels(double twips, int twipsPerPixel);

// A colour with the high bit set names a system colour by its low byte
// (0x8000000F is the button face), as the classic toolkits allowed.
COLORREF ToColorRef(Color color);

}  // namespace corvale::win32
