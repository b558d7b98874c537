// The program's own picture decoding: the plain BMPs and the GIFs that skins
// are made of, with GIF frames placed on their logical screen.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "image/gif.h"
#include "image/pixels.h"

namespace corvale::image {

// The first image of a plain BMP or a GIF (a cut frame's end repaired
// first); nullopt for any other picture and for anything out of the
// ordinary, which is left to the system's decoder.
std::optional<Pixels> DecodeOwn(std::span<const std::uint8_t> bytes);

// A GIF frame that covers part of its logical screen is placed on a
// transparent screen-sized canvas, so that every frame of an animation
// shares one geometry, as the frames' controls do. A screen past the bounds
// of a picture gives nothing: the canvas could not be had.
std::optional<Pixels> PlaceOnGifScreen(Pixels frame, const GifPlacement& at);

}  // namespace corvale::image
