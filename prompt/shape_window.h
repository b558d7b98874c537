// Giving a borderless window the size and outline of its skin picture.
#pragma once

#include <string>
#include <vector>

#include "platform/toolkit.h"
#include "platform/types.h"
#include "skin/context.h"

namespace corvale {

// One rectangle per maximal run of pixels that are not the mask colour,
// row by row; runs are never merged across rows.
std::vector<Rect> OpaqueRuns(const Picture& picture, Color mask);

// Makes `picturePath` the window's background and its size, and leaves out
// the pixels of exactly `mask`: by a colour key on the NT family, by a window
// region elsewhere and where the system refuses the key. A picture that
// cannot be loaded leaves the window as it was.
void ShapeWindow(Context& ctx, Form& window, Color mask, const std::string& picturePath, bool nt);

}  // namespace corvale
