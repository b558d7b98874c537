// Reading the BMPs that skins are made of.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "image/pixels.h"

namespace corvale::image {

bool LooksLikeBmp(std::span<const std::uint8_t> bytes);

// What a BMP's headers say, for a file the system would show: a known
// header (OS/2's 12 bytes or Windows' 40 to 124), one plane, a known depth,
// a size within the bounds of a picture, and, for uncompressed rows, pixel
// data that fits in the file.
struct BmpHeader {
    std::size_t headerSize = 0;
    int width = 0;
    int height = 0;  // rows, whichever way they are stored
    bool topDown = false;
    unsigned bitCount = 0;
    std::uint32_t compression = 0;  // 0 uncompressed, 3 bit fields
    std::uint32_t coloursUsed = 0;
    std::size_t bitsAt = 0;
};
std::optional<BmpHeader> ReadBmpHeader(std::span<const std::uint8_t> bytes);

// A plain BMP: a Windows header, 1, 4, 8, 16 (5-5-5) or 24 bits a pixel,
// uncompressed; every pixel opaque. nullopt for anything else (32 bits,
// whose fourth byte means different things to different writers, and
// compressed data): those are the system's to decode.
std::optional<Pixels> DecodePlainBmp(std::span<const std::uint8_t> bytes);

}  // namespace corvale::image
