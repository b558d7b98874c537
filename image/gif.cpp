// The GIF block walk behind frame repair and placement.
#include "image/gif.h"

#include <array>
#include <cstring>

namespace corvale::image {
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

// The codes of an image's data, least significant bit first, read across
// its sub-blocks.
class CodeReader {
public:
    CodeReader(Bytes b, std::size_t firstBlock) : b_(b), pos_(firstBlock) {}

    // The next code of `width` bits; nullopt once the data has ended.
    std::optional<unsigned> Next(int width) {
        while (count_ < width) {
            if (left_ == 0) {
                if (pos_ >= b_.size() || b_[pos_] == 0) return std::nullopt;
                left_ = b_[pos_++];
            }
            if (pos_ >= b_.size()) return std::nullopt;
            bits_ |= static_cast<std::uint32_t>(b_[pos_++]) << count_;
            count_ += 8;
            --left_;
        }
        const unsigned code = bits_ & ((1u << width) - 1);
        bits_ >>= width;
        count_ -= width;
        return code;
    }

private:
    Bytes b_;
    std::size_t pos_;
    std::size_t left_ = 0;  // bytes still to come in the current sub-block
    std::uint32_t bits_ = 0;
    int count_ = 0;
};

// The colour indices of a width x height image: LZW with codes that widen
// as the table grows, up to 12 bits. Returns false for a broken stream or
// one that ends before every pixel has its index; codes past the last pixel
// are ignored, as decoders do.
bool DecodeIndices(Bytes b, std::size_t dataStart, int minCodeSize, std::vector<std::uint8_t>& out) {
    constexpr unsigned kTableSize = 4096;
    std::array<std::uint16_t, kTableSize> prefix{};
    std::array<std::uint8_t, kTableSize> suffix{};
    std::array<std::uint8_t, kTableSize> first{};
    std::array<std::uint16_t, kTableSize> length{};
    const unsigned clear = 1u << minCodeSize;
    const unsigned end = clear + 1;
    for (unsigned i = 0; i < clear; ++i) {
        suffix[i] = first[i] = static_cast<std::uint8_t>(i);
        length[i] = 1;
    }
    CodeReader reader(b, dataStart);
    unsigned next = end + 1;
    int width = minCodeSize + 1;
    int previous = -1;
    std::size_t filled = 0;
    // The string of a code is written back to front along its prefixes.
    auto emit = [&](unsigned code) {
        const std::size_t size = length[code];
        for (std::size_t i = size; i-- > 0; code = prefix[code])
            if (filled + i < out.size()) out[filled + i] = suffix[code];
        filled += size;
    };
    while (filled < out.size()) {
        const std::optional<unsigned> code = reader.Next(width);
        if (!code || *code == end) break;
        if (*code == clear) {
            next = end + 1;
            width = minCodeSize + 1;
            previous = -1;
            continue;
        }
        if (previous < 0) {
            if (*code >= clear) return false;
            emit(*code);
            previous = static_cast<int>(*code);
            continue;
        }
        if (*code > next || (*code == next && next >= kTableSize)) return false;
        if (next < kTableSize) {
            const auto p = static_cast<unsigned>(previous);
            // A code not yet in the table is the previous string plus its own
            // first colour.
            prefix[next] = static_cast<std::uint16_t>(p);
            suffix[next] = first[*code == next ? p : *code];
            first[next] = first[p];
            length[next] = static_cast<std::uint16_t>(length[p] + 1);
            ++next;
            if (next == (1u << width) && width < 12) ++width;
        }
        emit(*code);
        previous = static_cast<int>(*code);
    }
    return filled >= out.size();
}

// Interlaced images come in four passes: every 8th row from 0, every 8th
// from 4, every 4th from 2, every 2nd from 1.
std::vector<int> RowOrder(int height, bool interlaced) {
    std::vector<int> rows;
    rows.reserve(static_cast<std::size_t>(height));
    if (!interlaced) {
        for (int y = 0; y < height; ++y) rows.push_back(y);
        return rows;
    }
    constexpr int kStart[] = {0, 4, 2, 1};
    constexpr int kStep[] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
        for (int y = kStart[pass]; y < height; y += kStep[pass]) rows.push_back(y);
    return rows;
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

std::optional<GifImage> DecodeFirstGifImage(Bytes b, long long maxSide, long long maxPixels) {
    if (!LooksLikeGif(b) || FirstBlock(b) > b.size()) return std::nullopt;
    Bytes table = b.subspan(kScreenDescriptorEnd, ColorTableBytes(b[10]));
    int transparent = -1;
    std::size_t pos = FirstBlock(b);
    while (pos + 2 <= b.size() && b[pos] == kExtension) {
        // A graphic control block: 21 F9 04, flags, delay, transparent index.
        if (b[pos + 1] == 0xF9 && pos + 7 <= b.size() && b[pos + 2] == 4)
            transparent = (b[pos + 3] & 1) ? b[pos + 6] : -1;
        const SubBlockWalk walk = SkipSubBlocks(b, pos + 2);
        if (walk.state != Data::Complete) return std::nullopt;
        pos = walk.end;
    }
    if (pos >= b.size() || b[pos] != kImage) return std::nullopt;
    const std::size_t data = ImageDataStart(b, pos);
    if (data == 0) return std::nullopt;
    const int width = Word(b, pos + 5);
    const int height = Word(b, pos + 7);
    if (width <= 0 || height <= 0 || width > maxSide || height > maxSide ||
        static_cast<long long>(width) * height > maxPixels)
        return std::nullopt;
    const std::uint8_t packed = b[pos + 9];
    if (packed & 0x80) table = b.subspan(pos + kImageDescriptorSize, ColorTableBytes(packed));
    const int minCodeSize = b[data];
    if (table.empty() || minCodeSize < 2 || minCodeSize > 8) return std::nullopt;

    std::vector<std::uint8_t> indices(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    if (!DecodeIndices(b, data + 1, minCodeSize, indices)) return std::nullopt;
    const std::size_t colours = table.size() / 3;
    GifImage image{width, height, std::vector<std::uint8_t>(indices.size() * 4)};
    const std::vector<int> rows = RowOrder(height, (packed & 0x40) != 0);
    for (std::size_t i = 0; i < indices.size(); ++i) {
        const std::uint8_t index = indices[i];
        if (index >= colours) return std::nullopt;
        const std::size_t row = static_cast<std::size_t>(rows[i / static_cast<std::size_t>(width)]);
        std::uint8_t* to =
            &image.bgra[(row * static_cast<std::size_t>(width) + i % static_cast<std::size_t>(width)) * 4];
        if (index == transparent) continue;  // stays 0, 0, 0, 0
        to[0] = table[index * 3 + 2];
        to[1] = table[index * 3 + 1];
        to[2] = table[index * 3];
        to[3] = 255;
    }
    return image;
}

}  // namespace corvale::image
