// Giving a borderless window the outline of a picture.
#pragma once

#include <vector>

#include "platform/types.h"

namespace corvale {

class WindowShaper {
public:
    virtual ~WindowShaper() = default;
    // NT family: the system leaves out pixels of exactly `key`.
    virtual bool SetColorKey(WindowHandle window, Color key) = 0;
    // Other systems: the window's shape becomes the union of the rectangles
    // (client pixels, right and bottom exclusive). The window owns the region.
    virtual bool SetRegion(WindowHandle window, const std::vector<Rect>& rectangles) = 0;
};

}  // namespace corvale
