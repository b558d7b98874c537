// Choosing the program's own decoder for a picture's bytes.
#include "image/decode.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "image/bmp.h"

namespace corvale::image {

std::optional<Pixels> PlaceOnGifScreen(Pixels frame, const GifPlacement& at) {
    if (frame.width != at.imageWidth || frame.height != at.imageHeight) return frame;
    if (at.screenWidth <= 0 || at.screenHeight <= 0) return frame;
    if (at.screenWidth == frame.width && at.screenHeight == frame.height) return frame;
    const auto bytes = BgraBytes(at.screenWidth, at.screenHeight);
    if (!bytes) return std::nullopt;
    Pixels canvas{at.screenWidth, at.screenHeight, std::vector<std::uint8_t>(*bytes, 0)};
    const int rows = std::min(frame.height, at.screenHeight - at.imageTop);
    const int columns = std::min(frame.width, at.screenWidth - at.imageLeft);
    if (rows <= 0 || columns <= 0) return canvas;
    const std::size_t frameStride = static_cast<std::size_t>(frame.width) * 4;
    const std::size_t canvasStride = static_cast<std::size_t>(at.screenWidth) * 4;
    for (int y = 0; y < rows; ++y) {
        const auto* from = frame.bgra.data() + static_cast<std::size_t>(y) * frameStride;
        auto* to = canvas.bgra.data() + static_cast<std::size_t>(y + at.imageTop) * canvasStride +
                   static_cast<std::size_t>(at.imageLeft) * 4;
        std::copy(from, from + static_cast<std::ptrdiff_t>(columns) * 4, to);
    }
    return canvas;
}

std::optional<Pixels> DecodeOwn(std::span<const std::uint8_t> bytes) {
    if (LooksLikeBmp(bytes)) return DecodePlainBmp(bytes);
    if (!LooksLikeGif(bytes)) return std::nullopt;
    const std::vector<std::uint8_t> data = NormaliseGifEnd(bytes);
    std::optional<GifImage> decoded = DecodeFirstGifImage(data, kMaxPictureSide, kMaxPicturePixels);
    if (!decoded) return std::nullopt;
    Pixels pixels{decoded->width, decoded->height, std::move(decoded->bgra)};
    if (const auto placement = FirstImagePlacement(data))
        return PlaceOnGifScreen(std::move(pixels), *placement);
    return pixels;
}

}  // namespace corvale::image
