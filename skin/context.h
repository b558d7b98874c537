// What every module of the program works with: the platform, the shared
// globals and the skin reader.
#pragma once

#include "platform/platform.h"
#include "skin/globals.h"
#include "skin/skin_reader.h"

namespace corvale {

struct Context {
    explicit Context(Platform& platform) : os(platform), skin(platform) {}
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;

    Platform& os;
    Globals g;
    SkinReader skin;
};

}  // namespace corvale
