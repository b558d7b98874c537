// Frame cycling of the animated pictures, and the paced teardown of a face.
#pragma once

#include "platform/toolkit.h"
#include "skin/context.h"
#include "skin/globals.h"

namespace corvale {

// One tick of tmrAnim(index), at `now` on the toolkit's clock: shows the next
// frame of the animation (back to its first after its last), then hides the
// one shown before, and gives the timer what is left of the new frame's time
// counted from when the tick was due. An animation without frames stays as
// it is.
void AdvanceAnimation(Form& form, SkinLists& lists, int index, long long now);

// Unloads the controls made after the design-time ones (from position
// ctx.g.ControlCount on), the last made first, letting pending events run
// after each. When `paced`, "Animated" and "AnimDelay" are read again from
// the theme skin and, when animated, each visible control is preceded by a
// pause of AnimDelay ms.
void UnloadSkinControls(Context& ctx, Form& form, bool paced = true);

}  // namespace corvale
