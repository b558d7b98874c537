// Pictures and sounds of known content, written byte by byte so that a test
// knows exactly what the program should show.
#include <map>
#include <ostream>
#include <stdexcept>

#include "tests/e2e/driver.h"

namespace corvale::e2e {

std::ostream& operator<<(std::ostream& out, const Rgb& c) {
    return out << "rgb(" << int(c.r) << ", " << int(c.g) << ", " << int(c.b) << ")";
}

std::string SkinColor(const Rgb& c) {
    return std::to_string(c.r) + "," + std::to_string(c.g) + "," + std::to_string(c.b);
}

Picture::Picture(int width, int height, Rgb fill)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height, fill) {
    if (width <= 0 || height <= 0) throw std::invalid_argument("a picture needs a positive size");
}

size_t Picture::Index(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) throw std::out_of_range("pixel outside the picture");
    return static_cast<size_t>(y) * width_ + x;
}

void Picture::FillRect(int left, int top, int width, int height, Rgb c) {
    for (int y = std::max(top, 0); y < std::min(top + height, height_); ++y)
        for (int x = std::max(left, 0); x < std::min(left + width, width_); ++x) Set(x, y, c);
}

namespace {

void Put16(Bytes& out, unsigned value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

void Put32(Bytes& out, std::uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

void PutText(Bytes& out, const char* text) {
    while (*text) out.push_back(static_cast<std::uint8_t>(*text++));
}

// ---- GIF ----

struct Palette {
    std::vector<Rgb> colors;
    std::map<std::uint32_t, std::uint8_t> index;
    int bits = 1;  // the table holds 2^bits entries

    static std::uint32_t Key(Rgb c) { return (std::uint32_t(c.r) << 16) | (std::uint32_t(c.g) << 8) | c.b; }
    std::uint8_t Of(Rgb c) const { return index.at(Key(c)); }
};

Palette PaletteOf(const std::vector<GifFrame>& frames) {
    Palette p;
    for (const GifFrame& f : frames)
        for (int y = 0; y < f.picture.Height(); ++y)
            for (int x = 0; x < f.picture.Width(); ++x) {
                const Rgb c = f.picture.At(x, y);
                if (p.index.count(Palette::Key(c))) continue;
                if (p.colors.size() == 256) throw std::invalid_argument("a GIF holds at most 256 colours");
                p.index.emplace(Palette::Key(c), static_cast<std::uint8_t>(p.colors.size()));
                p.colors.push_back(c);
            }
    while ((1u << p.bits) < p.colors.size()) ++p.bits;
    return p;
}

// Codes go out least significant bit first, as GIF packs them.
class BitWriter {
public:
    void Write(unsigned code, int width) {
        for (int i = 0; i < width; ++i) {
            if (bit_ == 0) bytes_.push_back(0);
            if (code & (1u << i)) bytes_.back() |= static_cast<std::uint8_t>(1u << bit_);
            bit_ = (bit_ + 1) % 8;
        }
    }
    const Bytes& Data() const { return bytes_; }

private:
    Bytes bytes_;
    int bit_ = 0;
};

// Variable-width LZW as GIF decoders expect it: the code width grows when the
// next free code no longer fits, and a full table of 4096 codes is cleared.
Bytes LzwEncode(const std::vector<std::uint8_t>& indices, int minCodeSize) {
    const unsigned clear = 1u << minCodeSize;
    const unsigned end = clear + 1;
    std::map<std::pair<unsigned, std::uint8_t>, unsigned> table;
    unsigned next = end + 1;
    int width = minCodeSize + 1;
    BitWriter out;
    auto reset = [&] {
        table.clear();
        next = end + 1;
        width = minCodeSize + 1;
    };
    // The decoder adds a table entry for every code it reads after the first,
    // one step behind us; widening here when that entry would not fit keeps
    // both sides reading the same widths.
    auto grow = [&] {
        if (next == (1u << width) && width < 12) ++width;
    };
    out.Write(clear, width);
    unsigned prefix = indices.at(0);
    for (size_t i = 1; i < indices.size(); ++i) {
        const std::uint8_t k = indices[i];
        if (auto it = table.find({prefix, k}); it != table.end()) {
            prefix = it->second;
            continue;
        }
        out.Write(prefix, width);
        if (next < 4096) {
            table[{prefix, k}] = next;
            grow();
            ++next;
        } else {
            out.Write(clear, width);
            reset();
        }
        prefix = k;
    }
    out.Write(prefix, width);
    grow();
    out.Write(end, width);
    return out.Data();
}

void PutSubBlocks(Bytes& out, const Bytes& data) {
    for (size_t at = 0; at < data.size(); at += 255) {
        const size_t n = std::min<size_t>(255, data.size() - at);
        out.push_back(static_cast<std::uint8_t>(n));
        out.insert(out.end(), data.begin() + static_cast<std::ptrdiff_t>(at),
                   data.begin() + static_cast<std::ptrdiff_t>(at + n));
    }
    out.push_back(0);
}

}  // namespace

Bytes EncodeBmp(const Picture& picture) {
    const int w = picture.Width(), h = picture.Height();
    const std::uint32_t stride = (static_cast<std::uint32_t>(w) * 3 + 3) & ~3u;
    const std::uint32_t imageSize = stride * static_cast<std::uint32_t>(h);
    const std::uint32_t headers = 14 + 40;
    Bytes out;
    PutText(out, "BM");
    Put32(out, headers + imageSize);
    Put32(out, 0);
    Put32(out, headers);
    Put32(out, 40);  // BITMAPINFOHEADER
    Put32(out, static_cast<std::uint32_t>(w));
    Put32(out, static_cast<std::uint32_t>(h));  // positive: bottom row first
    Put16(out, 1);
    Put16(out, 24);
    Put32(out, 0);  // BI_RGB
    Put32(out, imageSize);
    Put32(out, 2835);  // 72 dpi
    Put32(out, 2835);
    Put32(out, 0);
    Put32(out, 0);
    for (int y = h - 1; y >= 0; --y) {
        const size_t rowStart = out.size();
        for (int x = 0; x < w; ++x) {
            const Rgb c = picture.At(x, y);
            out.insert(out.end(), {c.b, c.g, c.r});
        }
        out.resize(rowStart + stride, 0);
    }
    return out;
}

Bytes EncodeGif(const std::vector<GifFrame>& frames) {
    if (frames.empty()) throw std::invalid_argument("a GIF needs a frame");
    const Palette palette = PaletteOf(frames);
    const int w = frames[0].picture.Width(), h = frames[0].picture.Height();
    Bytes out;
    PutText(out, "GIF89a");
    Put16(out, static_cast<unsigned>(w));
    Put16(out, static_cast<unsigned>(h));
    out.push_back(static_cast<std::uint8_t>(0x80 | ((palette.bits - 1) << 4) | (palette.bits - 1)));
    out.push_back(0);  // background colour index
    out.push_back(0);  // no aspect ratio
    for (int i = 0; i < (1 << palette.bits); ++i) {
        const Rgb c = i < static_cast<int>(palette.colors.size()) ? palette.colors[i] : Rgb{};
        out.insert(out.end(), {c.r, c.g, c.b});
    }
    // Netscape application extension: loop forever.
    out.insert(out.end(), {0x21, 0xFF, 0x0B});
    PutText(out, "NETSCAPE2.0");
    out.insert(out.end(), {0x03, 0x01, 0x00, 0x00, 0x00});
    const int minCodeSize = std::max(2, palette.bits);
    for (const GifFrame& f : frames) {
        if (f.picture.Width() != w || f.picture.Height() != h)
            throw std::invalid_argument("every GIF frame takes the size of the first");
        out.insert(out.end(), {0x21, 0xF9, 0x04, 0x04});  // graphic control: leave the frame in place
        Put16(out, static_cast<unsigned>(f.delayCentiseconds));
        out.insert(out.end(), {0x00, 0x00});
        out.push_back(0x2C);
        Put16(out, 0);
        Put16(out, 0);
        Put16(out, static_cast<unsigned>(w));
        Put16(out, static_cast<unsigned>(h));
        out.push_back(0);  // no local colour table, not interlaced
        std::vector<std::uint8_t> indices;
        indices.reserve(static_cast<size_t>(w) * h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) indices.push_back(palette.Of(f.picture.At(x, y)));
        out.push_back(static_cast<std::uint8_t>(minCodeSize));
        PutSubBlocks(out, LzwEncode(indices, minCodeSize));
    }
    out.push_back(0x3B);
    return out;
}

Bytes EncodeWav(int milliseconds, int frequencyHz) {
    constexpr std::uint32_t kRate = 11025;
    const std::uint32_t samples = kRate * static_cast<std::uint32_t>(std::max(milliseconds, 1)) / 1000;
    Bytes out;
    PutText(out, "RIFF");
    const std::uint32_t pad = samples % 2;  // RIFF chunks keep an even length
    Put32(out, 36 + samples + pad);
    PutText(out, "WAVEfmt ");
    Put32(out, 16);
    Put16(out, 1);  // PCM
    Put16(out, 1);  // mono
    Put32(out, kRate);
    Put32(out, kRate);  // bytes per second
    Put16(out, 1);      // block align
    Put16(out, 8);      // bits per sample
    PutText(out, "data");
    Put32(out, samples);
    const std::uint32_t half = kRate / (2 * static_cast<std::uint32_t>(std::max(frequencyHz, 1)));
    for (std::uint32_t i = 0; i < samples; ++i)
        out.push_back((half == 0 || (i / half) % 2 == 0) ? 0xC0 : 0x40);
    if (pad) out.push_back(0);
    return out;
}

}  // namespace corvale::e2e
