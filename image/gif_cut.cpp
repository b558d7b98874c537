// GIF frame cutting by the graphic control blocks' markers.
#include "image/gif_cut.h"

#include <algorithm>
#include <cstring>

namespace corvale::image {
namespace {

constexpr std::uint8_t kMarker[] = {0x00, 0x21, 0xF9};
constexpr std::size_t kMarkerSize = sizeof kMarker;

}  // namespace

std::optional<std::size_t> FindGifMarker(std::span<const std::uint8_t> data, std::size_t from) {
    if (data.size() < kMarkerSize) return std::nullopt;
    const std::size_t last = data.size() - kMarkerSize;
    for (std::size_t at = from; at <= last;) {
        const void* zero = std::memchr(data.data() + at, 0x00, last - at + 1);
        if (!zero) return std::nullopt;
        at = static_cast<std::size_t>(static_cast<const std::uint8_t*>(zero) - data.data());
        if (data[at + 1] == kMarker[1] && data[at + 2] == kMarker[2]) return at;
        ++at;
    }
    return std::nullopt;
}

GifCutter::GifCutter(std::span<const std::uint8_t> data) : data_(data) {
    const auto first = FindGifMarker(data_, 0);
    // Without any marker the header is the first byte alone, and the search
    // goes on from where a marker at -1 would have ended.
    const std::size_t headerEnd = first ? *first + 2 : 1;
    header_ = data_.first(std::min(headerEnd, data_.size()));
    next_ = first ? *first + kMarkerSize : 2;
}

std::optional<std::span<const std::uint8_t>> GifCutter::NextChunk() {
    const auto marker = FindGifMarker(data_, next_);
    if (!marker) return std::nullopt;
    const std::size_t begin = next_ - 1;
    const std::size_t end = *marker + 2;  // one past the marker's 21
    next_ = *marker + kMarkerSize;
    return data_.subspan(begin, end - begin);
}

std::optional<std::span<const std::uint8_t>> GifCutter::LastChunk() const {
    if (data_.size() < 2 || next_ >= data_.size() - 1) return std::nullopt;
    const std::size_t begin = next_ - 1;
    const std::size_t end = data_.size() - 2;
    return data_.subspan(begin, end - begin);
}

long FrameDisplayTime(std::span<const std::uint8_t> chunk) {
    if (chunk.size() < 5) return 0;
    return (static_cast<long>(chunk[3]) + 256L * chunk[4]) * 10;
}

std::vector<std::uint8_t> FrameBytes(std::span<const std::uint8_t> header,
                                     std::span<const std::uint8_t> chunk) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(header.size() + chunk.size());
    bytes.insert(bytes.end(), header.begin(), header.end());
    bytes.insert(bytes.end(), chunk.begin(), chunk.end());
    return bytes;
}

}  // namespace corvale::image
