// The layout entry that shows an animated GIF, cut into its frames, as an
// animation.
#pragma once

#include <string>

#include "platform/toolkit.h"
#include "skin/context.h"
#include "skin/layout_fields.h"

namespace corvale {

// An "A" entry: one tmrAnim element for the animation and one imgGif element
// per frame of the GIF at `gifPath`, all on `rect`. Frames decode from memory;
// no file is written.
void BuildAnimationEntry(Context& ctx, Form& form, SkinLists& lists, const std::string& gifPath,
                         const EntryRect& rect);

}  // namespace corvale
