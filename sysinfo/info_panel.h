// The information panel: machine facts under the skin's labels, in two
// columns, written once into the first text box at start-up.
#pragma once

#include <string>

#include "platform/toolkit.h"
#include "skin/context.h"
#include "sysinfo/probes.h"

namespace corvale {

// The column width in characters: half of what the box holds in spaces of
// its own font, less two each. Never negative: a box narrower than four
// spaces gives 0, as does a font that measures no width.
long InfoColumnWidth(Form& form, const Control& textBox, int twipsPerPixel);

// Writes the panel into `textBox` (nothing when it is null) and leaves the
// build number, drive counters and kind texts in `state`. The returned text
// is always empty.
std::string FillInfoPanel(Context& ctx, Form& form, Control* textBox, InfoPanelState& state);

}  // namespace corvale
