// Giving a window the outline of its picture: a colour key or a region.
#pragma once

#include <vector>

#include "platform/shaper.h"
#include "platform/win32/handles.h"

namespace corvale::win32 {

// The union of the rectangles as one region; null when the system refuses.
UniqueRegion RegionFromRectangles(const std::vector<Rect>& rectangles);

// Region rectangles are in the window's own coordinates, which for the
// borderless windows the program shapes are its client area's skin pixels.
class Win32Shaper final : public WindowShaper {
public:
    bool SetColorKey(WindowHandle window, Color key) override;
    bool SetRegion(WindowHandle window, const std::vector<Rect>& rectangles) override;
};

}  // namespace corvale::win32
