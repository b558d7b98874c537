// The GIF block walk behind frame repair and placement.
#include "platform/win32/picture_gif.h"

#include <cstring>

namespace corvale::win32 {
namespace {

using Bytes = std::span<const std::uint8_t>;

constexpr std::uint8_t kExtension = 0x21;
constexpr std::uint8_t kImage = 0x2C;
constexpr std::uint8_t kTrailer = 0x3B;
constexpr std::size_t kScreenDescriptorEnd = 13;  // signature, version, screen descriptor
constexpr std::size_t kImageDescriptorSize = 10;  // introducer included

std::size_t ColorTableBytes(std::uint8_t packed) {
    return (packed & 0x80) ? (3u << ((packed & 0x07) + 1)) : 0;
}

int Word(Bytes b, std::size_t pos) { return b[pos] | (b[pos + 1] << 8); }

enum class Data { Complete, EndsBetweenBlocks, CutInsideBlock };

// Where a chain of data sub-blocks ends. `end` is the byte after the
// terminator, the end of the bytes, or the size byte of the cut sub-block.
struct SubBlockWalk {
    Data state;
    std::size_t end;
};

SubBlockWalk SkipSubBlocks(Bytes b, std::size_t pos) {
    while (pos < b.size()) {
        const std::size_t length = b[pos];
        if (length == 0) return {Data::Complete, pos + 1};
        if (pos + 1 + length > b.size()) return {Data::CutInsideBlock, pos};
        pos += 1 + length;
    }
    return {Data::EndsBetweenBlocks, pos};
}

std::size_t FirstBlock(Bytes b) { return kScreenDescriptorEnd + ColorTableBytes(b[10]); }

// Where the image's LZW data starts (its minimum code size byte), or 0 when
// the descriptor or its colour table are cut.
std::size_t ImageDataStart(Bytes b, std::size_t pos) {
    if (pos + kImageDescriptorSize > b.size()) return 0;
    const std::size_t data = pos + kImageDescriptorSize + ColorTableBytes(b[pos + 9]);
    return data < b.size() ? data : 0;
}

std::vector<std::uint8_t> KeepAndClose(Bytes b, std::size_t keep) {
    std::vector<std::uint8_t> out(b.begin(), b.begin() + static_cast<std::ptrdiff_t>(keep));
    out.push_back(kTrailer);
    return out;
}

// An image whose data runs out: keep every byte, shorten a cut sub-block to
// what arrived, and add the terminator and the trailer.
std::vector<std::uint8_t> CloseCutImage(Bytes b, const SubBlockWalk& walk) {
    std::vector<std::uint8_t> out(b.begin(), b.end());
    if (walk.state == Data::CutInsideBlock) {
        const std::size_t arrived = b.size() - walk.end - 1;
        if (arrived == 0) out.pop_back();  // only the size byte came: it becomes the terminator
        else out[walk.end] = static_cast<std::uint8_t>(arrived);
    }
    out.push_back(0x00);
    out.push_back(kTrailer);
    return out;
}

}  // namespace

bool LooksLikeGif(Bytes bytes) {
    return bytes.size() >= kScreenDescriptorEnd && std::memcmp(bytes.data(), "GIF8", 4) == 0;
}

std::vector<std::uint8_t> NormaliseGifEnd(Bytes b) {
    if (!LooksLikeGif(b) || FirstBlock(b) > b.size()) return {b.begin(), b.end()};
    std::size_t pos = FirstBlock(b);
    for (;;) {
        if (pos >= b.size()) return KeepAndClose(b, b.size());
        switch (b[pos]) {
            case kTrailer: return {b.begin(), b.begin() + static_cast<std::ptrdiff_t>(pos + 1)};
            case kExtension: {
                // An extension that is cut (or a lone introducer) is dropped whole.
                if (pos + 2 > b.size()) return KeepAndClose(b, pos);
                const SubBlockWalk walk = SkipSubBlocks(b, pos + 2);
                if (walk.state != Data::Complete) return KeepAndClose(b, pos);
                pos = walk.end;
                break;
            }
            case kImage: {
                const std::size_t data = ImageDataStart(b, pos);
                if (data == 0) return KeepAndClose(b, pos);
                const SubBlockWalk walk = SkipSubBlocks(b, data + 1);
                if (walk.state != Data::Complete) return CloseCutImage(b, walk);
                pos = walk.end;
                break;
            }
            default: return KeepAndClose(b, pos);
        }
    }
}

std::optional<GifPlacement> FirstImagePlacement(Bytes b) {
    if (!LooksLikeGif(b) || FirstBlock(b) > b.size()) return std::nullopt;
    std::size_t pos = FirstBlock(b);
    while (pos < b.size() && b[pos] == kExtension && pos + 2 <= b.size()) {
        const SubBlockWalk walk = SkipSubBlocks(b, pos + 2);
        if (walk.state != Data::Complete) return std::nullopt;
        pos = walk.end;
    }
    if (pos + kImageDescriptorSize > b.size() || b[pos] != kImage) return std::nullopt;
    return GifPlacement{Word(b, 6),       Word(b, 8),       Word(b, pos + 1),
                        Word(b, pos + 3), Word(b, pos + 5), Word(b, pos + 7)};
}

}  // namespace corvale::win32
