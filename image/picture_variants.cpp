// The denser pictures beside a theme's own.
#include "image/picture_variants.h"

#include <algorithm>

namespace corvale {

std::string VariantPath(const std::string& path, int density) {
    const std::string mark = "@" + std::to_string(density) + "x";
    const std::size_t name = path.find_last_of("\\/");
    const std::size_t dot = path.rfind('.');
    // A dot before the last separator belongs to a folder, and a name that
    // starts with its dot (".bmp") has no extension to put the mark before.
    const bool extension =
        dot != std::string::npos && dot > 0 && (name == std::string::npos || dot > name + 1);
    if (!extension) return path + mark;
    return path.substr(0, dot) + mark + path.substr(dot);
}

std::vector<int> VariantDensitiesFor(int dpi) {
    std::vector<int> order;
    if (dpi <= 96) return order;
    for (const int density : kVariantDensities)
        if (density * 96 >= dpi) order.push_back(density);
    for (auto it = std::rbegin(kVariantDensities); it != std::rend(kVariantDensities); ++it)
        if (*it * 96 < dpi) order.push_back(*it);
    return order;
}

bool VariantFits(PictureSize plain, PictureSize variant, int density) {
    return plain.width > 0 && plain.height > 0 &&
           static_cast<long long>(variant.width) == static_cast<long long>(plain.width) * density &&
           static_cast<long long>(variant.height) == static_cast<long long>(plain.height) * density;
}

}  // namespace corvale
