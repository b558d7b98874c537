// Writing pictures the program's decoders read back: the BMPs and animated
// GIFs of the starter theme that corvalectl makes.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "image/pixels.h"

namespace corvale::image {

// An uncompressed 24-bit BMP; alpha is dropped.
std::vector<std::uint8_t> EncodeBmp(const Pixels& picture);

struct GifFrame {
    Pixels picture;  // every frame the size of the first
    int delayCentiseconds = 10;
};

// An animated GIF89a that loops forever, every frame whole and opaque, in
// one colour table. nullopt for more than 256 colours, frames of another
// size, or image data that cannot be kept free of the bytes the panel cuts
// frames at (00 21 F9).
std::optional<std::vector<std::uint8_t>> EncodeGif(const std::vector<GifFrame>& frames);

}  // namespace corvale::image
