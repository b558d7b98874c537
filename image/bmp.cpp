// The BMP header check and the plain BMP decoder: palette, 5-5-5 and 24-bit
// rows into BGRA.
#include "image/bmp.h"

#include <cstdlib>

namespace corvale::image {
namespace {

using Bytes = std::span<const std::uint8_t>;

constexpr std::size_t kFileHeader = 14;

std::uint32_t Le16(Bytes b, std::size_t at) { return b[at] | b[at + 1] << 8; }
std::uint32_t Le32(Bytes b, std::size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

// A 5-bit channel widened to 8 bits so that 31 becomes 255.
std::uint8_t Widen5(unsigned value) { return static_cast<std::uint8_t>(value << 3 | value >> 2); }

std::size_t Stride(const BmpHeader& h) {
    return ((static_cast<std::size_t>(h.width) * h.bitCount + 31) / 32) * 4;
}

bool KnownDepth(unsigned bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

struct Layout {
    BmpHeader header;
    std::size_t stride = 0;
    Bytes palette;  // four bytes a colour: blue, green, red, unused
};

std::optional<Layout> PlainLayout(Bytes b) {
    const std::optional<BmpHeader> h = ReadBmpHeader(b);
    if (!h || h->headerSize < 40 || h->compression != 0 || h->bitCount == 32) return std::nullopt;
    const std::size_t colours = h->bitCount <= 8 ? (h->coloursUsed ? h->coloursUsed : 1u << h->bitCount) : 0;
    const std::size_t paletteAt = kFileHeader + h->headerSize;
    if (colours > 256 || paletteAt + colours * 4 > b.size() || h->bitsAt < paletteAt + colours * 4)
        return std::nullopt;
    return Layout{*h, Stride(*h), b.subspan(paletteAt, colours * 4)};
}

void PutPaletteColour(const Layout& layout, std::size_t index, std::uint8_t* to) {
    if (index * 4 + 3 > layout.palette.size()) return;  // past the table: stays black
    to[0] = layout.palette[index * 4];
    to[1] = layout.palette[index * 4 + 1];
    to[2] = layout.palette[index * 4 + 2];
}

void DecodeRow(const Layout& layout, Bytes row, std::uint8_t* to) {
    const unsigned bits = layout.header.bitCount;
    for (int x = 0; x < layout.header.width; ++x, to += 4) {
        const auto at = static_cast<std::size_t>(x);
        if (bits == 24) {
            to[0] = row[at * 3];
            to[1] = row[at * 3 + 1];
            to[2] = row[at * 3 + 2];
        } else if (bits == 16) {
            const unsigned value = Le16(row, at * 2);
            to[0] = Widen5(value & 31);
            to[1] = Widen5(value >> 5 & 31);
            to[2] = Widen5(value >> 10 & 31);
        } else {
            const std::size_t bit = at * bits;
            PutPaletteColour(layout, row[bit / 8] >> (8 - bits - bit % 8) & ((1u << bits) - 1), to);
        }
        to[3] = 255;
    }
}

}  // namespace

bool LooksLikeBmp(Bytes bytes) { return bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M'; }

std::optional<BmpHeader> ReadBmpHeader(Bytes b) {
    if (b.size() < kFileHeader + 12 || !LooksLikeBmp(b)) return std::nullopt;
    BmpHeader h;
    h.headerSize = Le32(b, 14);
    h.bitsAt = Le32(b, 10);
    long long width = 0, height = 0;
    std::uint32_t planes = 0;
    if (h.headerSize == 12) {
        width = Le16(b, 18);
        height = Le16(b, 20);
        planes = Le16(b, 22);
        h.bitCount = Le16(b, 24);
    } else if (h.headerSize >= 40 && h.headerSize <= 124 && b.size() >= kFileHeader + 40) {
        width = static_cast<std::int32_t>(Le32(b, 18));
        height = static_cast<std::int32_t>(Le32(b, 22));
        planes = Le16(b, 26);
        h.bitCount = Le16(b, 28);
        h.compression = Le32(b, 30);
        h.coloursUsed = Le32(b, 46);
    } else {
        return std::nullopt;
    }
    h.topDown = height < 0;
    height = std::llabs(height);
    if (planes != 1 || !KnownDepth(h.bitCount) || !BgraBytes(width, height) || h.bitsAt >= b.size())
        return std::nullopt;
    h.width = static_cast<int>(width);
    h.height = static_cast<int>(height);
    if ((h.compression == 0 || h.compression == 3) &&
        Stride(h) * static_cast<std::size_t>(h.height) > b.size() - h.bitsAt)
        return std::nullopt;
    return h;
}

std::optional<Pixels> DecodePlainBmp(Bytes b) {
    const std::optional<Layout> layout = PlainLayout(b);
    if (!layout) return std::nullopt;
    const BmpHeader& h = layout->header;
    Pixels out{h.width, h.height, std::vector<std::uint8_t>(*BgraBytes(h.width, h.height))};
    const std::size_t outStride = static_cast<std::size_t>(h.width) * 4;
    for (int y = 0; y < h.height; ++y) {
        const int stored = h.topDown ? y : h.height - 1 - y;
        const Bytes row =
            b.subspan(h.bitsAt + static_cast<std::size_t>(stored) * layout->stride, layout->stride);
        DecodeRow(*layout, row, out.bgra.data() + static_cast<std::size_t>(y) * outStride);
    }
    return out;
}

}  // namespace corvale::image
