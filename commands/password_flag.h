// Whether a button of the main window asks for the password.
#pragma once

#include "skin/context.h"

namespace corvale {

// Re-reads the button's layout entry (override file first) and reads its
// ninth field as a Boolean.
bool ButtonNeedsPassword(Context& ctx, int index);

}  // namespace corvale
