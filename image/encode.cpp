// BMP and GIF writing, kept to what a starter theme needs: 24-bit BMPs, and
// GIFs whose codes are all literal (a clear code before the table grows), so
// that no compression table is needed to stay correct.
#include "image/encode.h"

#include <algorithm>
#include <array>
#include <map>

namespace corvale::image {
namespace {

using Bytes = std::vector<std::uint8_t>;

void Le16(Bytes& out, unsigned value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void Le32(Bytes& out, std::uint32_t value) {
    Le16(out, value & 0xFFFF);
    Le16(out, value >> 16);
}

std::uint32_t Colour(const Pixels& p, std::size_t i) {
    return p.bgra[i * 4] | (p.bgra[i * 4 + 1] << 8) | (p.bgra[i * 4 + 2] << 16);
}

// Codes of 9 bits, least significant bit first. With a minimum code size of 8
// the decoder's table starts at 258 and widens its codes at 512: a clear code
// every 250 pixels keeps it well below.
Bytes LiteralCodes(const std::vector<std::uint8_t>& indices) {
    constexpr unsigned kClear = 256, kEnd = 257, kRun = 250;
    Bytes out;
    std::uint32_t bits = 0;
    int count = 0;
    auto emit = [&](unsigned code) {
        bits |= code << count;
        count += 9;
        while (count >= 8) {
            out.push_back(static_cast<std::uint8_t>(bits));
            bits >>= 8;
            count -= 8;
        }
    };
    for (std::size_t i = 0; i < indices.size(); ++i) {
        if (i % kRun == 0) emit(kClear);
        emit(indices[i]);
    }
    emit(kEnd);
    if (count > 0) out.push_back(static_cast<std::uint8_t>(bits));
    return out;
}

// The data in sub-blocks of at most `size` bytes and the terminator.
Bytes SubBlocks(const Bytes& data, std::size_t size) {
    Bytes out;
    for (std::size_t at = 0; at < data.size(); at += size) {
        const std::size_t n = std::min(size, data.size() - at);
        out.push_back(static_cast<std::uint8_t>(n));
        out.insert(out.end(), data.begin() + static_cast<std::ptrdiff_t>(at),
                   data.begin() + static_cast<std::ptrdiff_t>(at + n));
    }
    out.push_back(0);
    return out;
}

// Sub-blocks in which the bytes the panel cuts frames at do not occur: the
// block length moves any chance occurrence.
std::optional<Bytes> CuttableSubBlocks(const Bytes& data) {
    constexpr std::array<std::uint8_t, 3> kMarker = {0x00, 0x21, 0xF9};
    for (std::size_t size = 255; size >= 64; --size) {
        Bytes blocks = SubBlocks(data, size);
        if (std::search(blocks.begin(), blocks.end(), kMarker.begin(), kMarker.end()) == blocks.end())
            return blocks;
    }
    return std::nullopt;
}

}  // namespace

std::vector<std::uint8_t> EncodeBmp(const Pixels& picture) {
    const auto w = static_cast<std::uint32_t>(picture.width), h = static_cast<std::uint32_t>(picture.height);
    const std::uint32_t stride = (w * 3 + 3) & ~3u, size = stride * h;
    Bytes out{'B', 'M'};
    Le32(out, 54 + size);
    Le32(out, 0);
    Le32(out, 54);
    for (const std::uint32_t field : {40u, w, h}) Le32(out, field);
    Le16(out, 1);
    Le16(out, 24);
    for (const std::uint32_t field : {0u, size, 2835u, 2835u, 0u, 0u}) Le32(out, field);
    for (std::uint32_t y = h; y-- > 0;) {  // bottom row first
        for (std::uint32_t x = 0; x < w; ++x) {
            const auto* p = &picture.bgra[(y * w + x) * 4];
            out.insert(out.end(), {p[0], p[1], p[2]});
        }
        out.resize(out.size() + (stride - w * 3), 0);
    }
    return out;
}

std::optional<std::vector<std::uint8_t>> EncodeGif(const std::vector<GifFrame>& frames) {
    if (frames.empty()) return std::nullopt;
    const Pixels& first = frames.front().picture;
    std::map<std::uint32_t, std::uint8_t> palette;
    for (const GifFrame& frame : frames) {
        if (frame.picture.width != first.width || frame.picture.height != first.height) return std::nullopt;
        for (std::size_t i = 0; i < frame.picture.bgra.size() / 4; ++i) {
            const std::uint32_t c = Colour(frame.picture, i);
            if (!palette.count(c)) {
                if (palette.size() == 256) return std::nullopt;
                palette.emplace(c, static_cast<std::uint8_t>(palette.size()));
            }
        }
    }
    Bytes out{'G', 'I', 'F', '8', '9', 'a'};
    Le16(out, static_cast<unsigned>(first.width));
    Le16(out, static_cast<unsigned>(first.height));
    out.insert(out.end(), {0xF7, 0, 0});  // a global table of 256 colours
    Bytes table(256 * 3, 0);
    for (const auto& [c, index] : palette)
        std::copy_n(
            std::array<std::uint8_t, 3>{static_cast<std::uint8_t>(c >> 16), static_cast<std::uint8_t>(c >> 8),
                                        static_cast<std::uint8_t>(c)}
                .begin(),
            3, table.begin() + index * 3);
    out.insert(out.end(), table.begin(), table.end());
    // The application block that has browsers and the panel loop for ever.
    out.insert(out.end(),
               {0x21, 0xFF, 0x0B, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1, 0, 0, 0});
    for (const GifFrame& frame : frames) {
        out.insert(out.end(), {0x21, 0xF9, 0x04, 0x04});  // a graphic control block: leave in place
        Le16(out, static_cast<unsigned>(frame.delayCentiseconds));
        out.insert(out.end(), {0, 0, 0x2C});
        for (const unsigned field :
             {0u, 0u, static_cast<unsigned>(first.width), static_cast<unsigned>(first.height)})
            Le16(out, field);
        out.insert(out.end(), {0, 8});  // no local table; codes of 8 bits and more
        std::vector<std::uint8_t> indices;
        for (std::size_t i = 0; i < frame.picture.bgra.size() / 4; ++i)
            indices.push_back(palette.at(Colour(frame.picture, i)));
        const auto blocks = CuttableSubBlocks(LiteralCodes(indices));
        if (!blocks) return std::nullopt;
        out.insert(out.end(), blocks->begin(), blocks->end());
    }
    out.push_back(0x3B);
    return out;
}

}  // namespace corvale::image
