// Following the displays: what a new screen size, a monitor that comes or
// goes or a moved taskbar asks of the main window, and where a saved window
// goes when its monitor is gone.
#pragma once

#include <string>

#include "app/startup.h"
#include "platform/types.h"

namespace corvale {

// A face and the window it was laid out in, or would be laid out in now.
struct FaceFit {
    std::string layoutSkin;
    Rect window;  // skin pixels of the screen
};

enum class DisplayFollow {
    Stay,     // the window is where it belongs and its face fits
    Move,     // the window goes to its place; its face fits as it is
    Rebuild,  // the face is laid out anew, in the window at its new place
};

// The skin's entries are placed against the window's right and bottom edges
// and in shares of its size, so a face fits only the layout skin and the
// window size it was built for. `windowNow` is where the window is.
DisplayFollow FollowDisplays(const FaceFit& built, const FaceFit& wanted, const Rect& windowNow);

// A window that lies on no monitor, brought onto the work area of the
// nearest one: its size kept as far as the area holds it, its place the
// nearest that fits.
Rect OntoWorkArea(const Rect& window, const Rect& workArea);

// A rectangle in twips as whole pixels, to the nearest.
Rect PixelRect(const TwipsRect& r, int tppx, int tppy);

}  // namespace corvale
