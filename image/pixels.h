// A decoded picture as the program's own decoders hand it over, and the
// bounds every decoder keeps to.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace corvale::image {

// Large enough for any skin picture, small enough that a corrupt header
// cannot make a 32-bit process run out of memory: 2^24 pixels are 64 MiB of
// BGRA, and no size computed within these bounds wraps a 32-bit size_t.
constexpr long long kMaxPictureSide = 32768;
constexpr long long kMaxPicturePixels = 1LL << 24;

// Rows top to bottom, bytes blue, green, red, alpha (not premultiplied).
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> bgra;
};

// The bytes of a width x height BGRA picture, or nullopt for an empty one or
// one past the bounds; the caller allocates.
inline std::optional<std::size_t> BgraBytes(long long width, long long height) {
    if (width <= 0 || height <= 0 || width > kMaxPictureSide || height > kMaxPictureSide) return std::nullopt;
    if (width * height > kMaxPicturePixels) return std::nullopt;
    return static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
}

// A 32-bit BMP whose fourth byte is unused decodes with every alpha at 0;
// such a picture is meant to be opaque.
inline void OpaqueWhenAlphaUnused(std::vector<std::uint8_t>& bgra) {
    for (std::size_t i = 3; i < bgra.size(); i += 4)
        if (bgra[i] != 0) return;
    for (std::size_t i = 3; i < bgra.size(); i += 4) bgra[i] = 255;
}

}  // namespace corvale::image
