// Scaling a picture's pixels to the size a display draws it at.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace corvale {

// `from` (fromWidth x fromHeight) into `to` (toWidth x toHeight); both hold
// four bytes a pixel (blue, green, red, alpha), rows top to bottom. A whole
// multiple of the size repeats each pixel, which keeps a skin's hard edges;
// any other size averages the area each new pixel covers. With a `cut`
// colour (red + 256 green + 65536 blue) the opaque pixels of exactly that
// colour are a window's outline: a new pixel is the cut colour when the
// pixel nearest its centre is, and no average takes the cut colour in, so
// no blend of it shows along the edge. False when a size is empty or a
// buffer too small.
bool ScalePixels(std::span<const std::uint8_t> from, int fromWidth, int fromHeight,
                 std::span<std::uint8_t> to, int toWidth, int toHeight,
                 std::optional<std::uint32_t> cut = std::nullopt);

}  // namespace corvale
