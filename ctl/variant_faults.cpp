// Telling a theme's author which denser variants the panel leaves aside.
#include "ctl/variant_faults.h"

#include <optional>

#include "image/picture_variants.h"
#include "platform/system.h"
#include "platform/toolkit.h"

namespace corvale {

std::vector<VariantFault> VariantFaults(Platform& os, const std::string& folder, const std::string& name,
                                        const Picture& plain) {
    const auto exists = [&](const std::string& variant) {
        return os.files.FileLength(folder + variant) >= 0;
    };
    const auto measure = [&](const std::string& variant) -> std::optional<PictureSize> {
        const PicturePtr picture = os.toolkit.LoadPicture(folder + variant);
        if (!picture) return std::nullopt;
        return PictureSize{picture->Width(), picture->Height()};
    };
    const auto size = [](PictureSize s) { return std::to_string(s.width) + "x" + std::to_string(s.height); };
    const PictureSize own{plain.Width(), plain.Height()};
    std::vector<VariantFault> faults;
    for (const MisfitVariant& m : MisfitVariants(name, own, exists, measure)) {
        const PictureSize wanted{own.width * m.density, own.height * m.density};
        faults.push_back({m.path, m.size ? "is " + size(*m.size) + ", not " + size(wanted) + " (" +
                                               size(own) + " times " + std::to_string(m.density) +
                                               "): the panel passes it over"
                                         : "does not decode: the panel passes it over"});
    }
    return faults;
}

}  // namespace corvale
