// What a theme's author is told about the denser variants beside a picture.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/types.h"

namespace corvale {

// Each variant beside `name` (title@2x.bmp beside title.bmp, in `folder`)
// that the panel passes over, one that does not decode or is not the
// picture's size times its density, with what is wrong with it.
struct VariantFault {
    std::string file;
    std::string fault;
};
std::vector<VariantFault> VariantFaults(Platform& os, const std::string& folder, const std::string& name,
                                        const Picture& plain);

}  // namespace corvale
