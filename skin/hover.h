// The picture buttons' hover feedback.
#pragma once

#include <string>

#include "platform/toolkit.h"
#include "skin/context.h"
#include "skin/globals.h"

namespace corvale {

// Refreshes CursorX, CursorY (pixels from the form's top-left corner) and
// HoverHwnd (the window under the cursor).
void TrackCursor(Context& ctx, const Form& form);

// Gives each imgBut element of `form` its hover or normal look. The state is
// the element's BackColor: 0 while hovered, 0xFFFFFF once left. A button is
// entered when the cursor is strictly inside it and its window is the one
// under the cursor, and left when the cursor is outside its rectangle; on the
// edge lines, or over another window within the rectangle, it keeps its state.
// Pictures load, and the hover sound plays, only on a change of state.
void UpdateButtonHover(Context& ctx, Form& form, const SkinLists& lists);

// A button's hover picture: "a" inserted before the last four characters of
// its normal picture (...\Exit.bmp gives ...\Exita.bmp); "" for a shorter path.
std::string HoverPicturePath(const std::string& picture);

}  // namespace corvale
