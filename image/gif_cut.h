// Cutting an animated GIF into single frames, each a GIF of its own that a
// decoder takes as it is.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace corvale::image {

// Frames are found by the three bytes 00 21 F9: the terminator of the block
// before a frame, then the introducer and label of the frame's graphic control
// block. Every frame is handed to the decoder as the file's header (everything
// up to the first graphic control block's 21) followed by its own chunk (from
// its F9 to the 21 of the next frame). Each search resumes where the last
// marker ended, so cutting a file costs one pass over it.
class GifCutter {
public:
    explicit GifCutter(std::span<const std::uint8_t> data);

    std::span<const std::uint8_t> Header() const { return header_; }

    // One marker search: the chunk up to the marker found, or nullopt when no
    // marker is left.
    std::optional<std::span<const std::uint8_t>> NextChunk();

    // Once the markers are used up: the rest of the file without its last two
    // bytes (the final terminator and trailer), when anything remains.
    std::optional<std::span<const std::uint8_t>> LastChunk() const;

private:
    std::span<const std::uint8_t> data_;
    std::span<const std::uint8_t> header_;
    std::size_t next_ = 0;  // the byte after the current marker's F9
};

// Position of the first marker at or after `from`, or nullopt.
std::optional<std::size_t> FindGifMarker(std::span<const std::uint8_t> data, std::size_t from);

// A frame's display time in milliseconds: its graphic control block's delay
// (hundredths of a second, chunk bytes 3 and 4, low byte first) times ten; 0
// for a chunk too short to hold one.
long FrameDisplayTime(std::span<const std::uint8_t> chunk);

// The bytes the decoder gets for one frame: header, then chunk.
std::vector<std::uint8_t> FrameBytes(std::span<const std::uint8_t> header,
                                     std::span<const std::uint8_t> chunk);

}  // namespace corvale::image
