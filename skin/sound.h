// Playing the theme's sounds.
#pragma once

#include <string>

#include "skin/context.h"

namespace corvale {

// Starts a sound of the skin and returns at once; every failure is silent.
// A name with a ":" is a full path, any other is a .wav of the theme folder
// (ProgramDir & ThemeDir & name & ".wav"). The theme skin's "Sound" (default
// on) and "Multiple" (default off: a new sound cuts off the one playing) are
// read afresh at every call.
void PlaySkinSound(Context& ctx, const std::string& name);

// The short (8.3) form of an existing path, "" when there is none.
std::string ShortPath(Context& ctx, const std::string& path);

}  // namespace corvale
