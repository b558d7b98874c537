// The program's own GIF decoding on any bytes: it either gives up (and
// leaves the picture to the system) or gives an image of the size its
// descriptor names, within the limits, with every pixel opaque or wholly
// transparent.
#include <cstddef>
#include <cstdint>
#include <span>

#include "image/gif.h"
#include "tests/fuzz/fuzz_input.h"

using namespace corvale;
using fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    constexpr long long kMaxSide = 4096;
    constexpr long long kMaxPixels = 1 << 20;
    const std::span<const std::uint8_t> gif(data, size);
    const auto image = image::DecodeFirstGifImage(gif, kMaxSide, kMaxPixels);
    if (!image) return 0;
    const auto placement = image::FirstImagePlacement(gif);
    Require(placement && placement->imageWidth == image->width && placement->imageHeight == image->height);
    Require(image->width <= kMaxSide && image->height <= kMaxSide &&
            static_cast<long long>(image->width) * image->height <= kMaxPixels);
    Require(image->bgra.size() == static_cast<std::size_t>(image->width) * image->height * 4);
    for (std::size_t i = 3; i < image->bgra.size(); i += 4) {
        const std::uint8_t alpha = image->bgra[i];
        Require(alpha == 255 ||
                (alpha == 0 && !image->bgra[i - 1] && !image->bgra[i - 2] && !image->bgra[i - 3]));
    }
    return 0;
}
