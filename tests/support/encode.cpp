// The test encoders: BMP rows, GIF blocks and LZW, WAV samples.
#include "tests/support/encode.h"

#include <algorithm>
#include <map>
#include <stdexcept>

namespace corvale::test {
namespace {

void PutText(Bytes& out, const char* text) {
    while (*text) out.push_back(static_cast<std::uint8_t>(*text++));
}

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

}  // namespace

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

void PutLe16(Bytes& out, unsigned value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

void PutLe32(Bytes& out, std::uint32_t value) {
    PutLe16(out, value & 0xFFFF);
    PutLe16(out, value >> 16);
}

std::ostream& operator<<(std::ostream& out, const Rgb& c) {
    return out << "rgb(" << int(c.r) << ", " << int(c.g) << ", " << int(c.b) << ")";
}

std::string SkinColor(const Rgb& c) {
    return std::to_string(c.r) + "," + std::to_string(c.g) + "," + std::to_string(c.b);
}

Canvas::Canvas(int width, int height, Rgb fill)
    : width_(width), height_(height), pixels_(static_cast<std::size_t>(width) * height, fill) {
    if (width <= 0 || height <= 0) throw std::invalid_argument("a picture needs a positive size");
}

Canvas Canvas::FromRgb(int width, int height, const Bytes& rgb) {
    Canvas canvas(width, height, {});
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::size_t p = (static_cast<std::size_t>(y) * width + x) * 3;
            canvas.Set(x, y, {rgb.at(p), rgb.at(p + 1), rgb.at(p + 2)});
        }
    return canvas;
}

std::size_t Canvas::Index(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) throw std::out_of_range("pixel outside the picture");
    return static_cast<std::size_t>(y) * width_ + x;
}

void Canvas::FillRect(int left, int top, int width, int height, Rgb c) {
    for (int y = std::max(top, 0); y < std::min(top + height, height_); ++y)
        for (int x = std::max(left, 0); x < std::min(left + width, width_); ++x) Set(x, y, c);
}

Bytes EncodeBmp(const Canvas& canvas) {
    const int w = canvas.Width(), h = canvas.Height();
    const std::uint32_t stride = (static_cast<std::uint32_t>(w) * 3 + 3) & ~3u;
    const std::uint32_t imageSize = stride * static_cast<std::uint32_t>(h);
    const std::uint32_t headers = 14 + 40;
    Bytes out;
    PutText(out, "BM");
    PutLe32(out, headers + imageSize);
    PutLe32(out, 0);
    PutLe32(out, headers);
    PutLe32(out, 40);  // BITMAPINFOHEADER
    PutLe32(out, static_cast<std::uint32_t>(w));
    PutLe32(out, static_cast<std::uint32_t>(h));  // positive: bottom row first
    PutLe16(out, 1);
    PutLe16(out, 24);
    PutLe32(out, 0);  // BI_RGB
    PutLe32(out, imageSize);
    PutLe32(out, 2835);  // 72 dpi
    PutLe32(out, 2835);
    PutLe32(out, 0);
    PutLe32(out, 0);
    for (int y = h - 1; y >= 0; --y) {
        const std::size_t rowStart = out.size();
        for (int x = 0; x < w; ++x) {
            const Rgb c = canvas.At(x, y);
            out.insert(out.end(), {c.b, c.g, c.r});
        }
        out.resize(rowStart + stride, 0);
    }
    return out;
}

Bytes GifScreen(int width, int height, const std::vector<Rgb>& palette) {
    Bytes out;
    PutText(out, "GIF89a");
    PutLe16(out, static_cast<unsigned>(width));
    PutLe16(out, static_cast<unsigned>(height));
    int bits = 1;
    while ((1u << bits) < palette.size()) ++bits;
    out.push_back(palette.empty() ? 0 : static_cast<std::uint8_t>(0x80 | ((bits - 1) << 4) | (bits - 1)));
    out.push_back(0);  // background colour index
    out.push_back(0);  // no aspect ratio
    if (palette.empty()) return out;
    for (int i = 0; i < (1 << bits); ++i) {
        const Rgb c = i < static_cast<int>(palette.size()) ? palette[static_cast<std::size_t>(i)] : Rgb{};
        out.insert(out.end(), {c.r, c.g, c.b});
    }
    return out;
}

Bytes GifLoopExtension() {
    Bytes out{0x21, 0xFF, 0x0B};
    PutText(out, "NETSCAPE2.0");
    out.insert(out.end(), {0x03, 0x01, 0x00, 0x00, 0x00});
    return out;
}

Bytes GifGraphicControl(int delayCentiseconds, std::uint8_t flags, std::uint8_t transparent) {
    Bytes out{0x21, 0xF9, 0x04, flags};
    PutLe16(out, static_cast<unsigned>(delayCentiseconds));
    out.insert(out.end(), {transparent, 0x00});
    return out;
}

Bytes GifImage(int left, int top, int width, int height, int minCodeSize, const Bytes& data) {
    Bytes out{0x2C};
    for (const int v : {left, top, width, height}) PutLe16(out, static_cast<unsigned>(v));
    out.push_back(0);  // no local colour table, not interlaced
    out.push_back(static_cast<std::uint8_t>(minCodeSize));
    for (std::size_t at = 0; at < data.size(); at += 255) {
        const std::size_t n = std::min<std::size_t>(255, data.size() - at);
        out.push_back(static_cast<std::uint8_t>(n));
        out.insert(out.end(), data.begin() + static_cast<std::ptrdiff_t>(at),
                   data.begin() + static_cast<std::ptrdiff_t>(at + n));
    }
    out.push_back(0);
    return out;
}

// The code width grows when the next free code no longer fits, and a full
// table of 4096 codes is cleared.
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
    for (std::size_t i = 1; i < indices.size(); ++i) {
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

Bytes EncodeGif(const std::vector<GifFrame>& frames, std::optional<std::pair<int, int>> screen) {
    if (frames.empty()) throw std::invalid_argument("a GIF needs a frame");
    const Palette palette = PaletteOf(frames);
    const auto [w, h] = screen.value_or(std::pair{frames[0].picture.Width(), frames[0].picture.Height()});
    Bytes out = Concat({GifScreen(w, h, palette.colors), GifLoopExtension()});
    const int minCodeSize = std::max(2, palette.bits);
    for (const GifFrame& f : frames) {
        std::vector<std::uint8_t> indices;
        indices.reserve(static_cast<std::size_t>(f.picture.Width()) * f.picture.Height());
        for (int y = 0; y < f.picture.Height(); ++y)
            for (int x = 0; x < f.picture.Width(); ++x) indices.push_back(palette.Of(f.picture.At(x, y)));
        const Bytes control = GifGraphicControl(f.delayCentiseconds, 0x04);  // leave the frame in place
        const Bytes image = GifImage(f.left, f.top, f.picture.Width(), f.picture.Height(), minCodeSize,
                                     LzwEncode(indices, minCodeSize));
        out = Concat({out, control, image});
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
    PutLe32(out, 36 + samples + pad);
    PutText(out, "WAVEfmt ");
    PutLe32(out, 16);
    PutLe16(out, 1);  // PCM
    PutLe16(out, 1);  // mono
    PutLe32(out, kRate);
    PutLe32(out, kRate);  // bytes per second
    PutLe16(out, 1);      // block align
    PutLe16(out, 8);      // bits per sample
    PutText(out, "data");
    PutLe32(out, samples);
    const std::uint32_t half = kRate / (2 * static_cast<std::uint32_t>(std::max(frequencyHz, 1)));
    for (std::uint32_t i = 0; i < samples; ++i)
        out.push_back((half == 0 || (i / half) % 2 == 0) ? 0xC0 : 0x40);
    if (pad) out.push_back(0);
    return out;
}

}  // namespace corvale::test
