// The denser pictures a theme may put beside its own (title@2x.bmp beside
// title.bmp): which one a display takes, and which ones fit.
#pragma once

#include <concepts>
#include <optional>
#include <string>
#include <vector>

namespace corvale {

struct PictureSize {
    int width = 0;
    int height = 0;
    friend bool operator==(const PictureSize&, const PictureSize&) = default;
};

// The densities a theme may ship besides its plain pictures.
inline constexpr int kVariantDensities[] = {2, 3};

// "title@2x.bmp" for ("title.bmp", 2): the mark goes before the extension,
// or at the end of a name without one.
std::string VariantPath(const std::string& path, int density);

// The densities worth a look on a display of `dpi`, best first: the
// sparsest at or above the display's scale (scaled down, it is sharper
// than anything scaled up), then the denser ones, then the ones below it,
// densest first. None at 96 dpi and below, where the plain picture is
// drawn pixel for pixel.
std::vector<int> VariantDensitiesFor(int dpi);

// A variant fits when it is exactly its plain picture times its density.
bool VariantFits(PictureSize plain, PictureSize variant, int density);

struct PictureVariant {
    std::string path;
    int density = 1;
};

// Measures a picture file; nullopt when it is missing or does not decode.
template <typename Measure>
concept PictureMeasure = requires(Measure m, const std::string& path) {
    { m(path) } -> std::same_as<std::optional<PictureSize>>;
};

// The variant a display of `dpi` draws `path` from: the first of
// VariantDensitiesFor that exists and fits; the plain file otherwise.
template <PictureMeasure Measure>
PictureVariant ChooseVariant(const std::string& path, PictureSize plain, int dpi, Measure&& measure) {
    for (const int density : VariantDensitiesFor(dpi)) {
        std::string candidate = VariantPath(path, density);
        if (const auto size = measure(candidate); size && VariantFits(plain, *size, density))
            return {std::move(candidate), density};
    }
    return {path, 1};
}

struct MisfitVariant {
    std::string path;
    int density = 1;
    std::optional<PictureSize> size;  // nullopt: it does not decode
};

// Variants beside `path` that the panel leaves aside: present but not
// decodable, or not their plain picture's size times their density.
// `exists` tells a missing file from one that does not decode.
template <typename Exists, PictureMeasure Measure>
std::vector<MisfitVariant> MisfitVariants(const std::string& path, PictureSize plain, Exists&& exists,
                                          Measure&& measure) {
    std::vector<MisfitVariant> misfits;
    for (const int density : kVariantDensities) {
        std::string candidate = VariantPath(path, density);
        if (!exists(candidate)) continue;
        const auto size = measure(candidate);
        if (!size || !VariantFits(plain, *size, density))
            misfits.push_back({std::move(candidate), density, size});
    }
    return misfits;
}

}  // namespace corvale
