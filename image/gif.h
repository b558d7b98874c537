// The GIF block walk: repairing the end of a frame cut out of an animation,
// finding where its first image sits on the screen, and decoding that image.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace corvale::image {

bool LooksLikeGif(std::span<const std::uint8_t> bytes);

// A copy of the bytes that ends properly. Frames cut from an animation end
// with the introducer of the next frame's extension (0x21) or without the
// final block terminator and trailer; some decoders (Wine's among them)
// refuse the first kind. The copy ends after the last complete block with
// the trailer 0x3B; an image whose data runs out keeps the data it has.
// Anything that is not a GIF comes back unchanged.
std::vector<std::uint8_t> NormaliseGifEnd(std::span<const std::uint8_t> bytes);

// The logical screen and the place of the first image on it, in pixels.
struct GifPlacement {
    int screenWidth = 0;
    int screenHeight = 0;
    int imageLeft = 0;
    int imageTop = 0;
    int imageWidth = 0;
    int imageHeight = 0;
};

std::optional<GifPlacement> FirstImagePlacement(std::span<const std::uint8_t> bytes);

// The first image of a GIF at its own size (not the screen's), rows top to
// bottom, bytes blue, green, red, alpha; the transparent colour, if any, has
// alpha 0. nullopt for anything out of the ordinary: no colour table, a
// colour past the table, a code the table does not hold yet, data that ends
// before the image is full, or a side or pixel count past the limits. Those
// are left to the system's decoder, whose answer for them stands.
struct GifImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> bgra;
};

std::optional<GifImage> DecodeFirstGifImage(std::span<const std::uint8_t> bytes, long long maxSide,
                                            long long maxPixels);

}  // namespace corvale::image
