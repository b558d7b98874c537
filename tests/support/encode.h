// Pictures and sounds of known content for the tests of every layer: BMP,
// GIF (as whole files or block by block) and WAV, written byte by byte so
// that a test knows exactly what the program should show.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace corvale::test {

using Bytes = std::vector<std::uint8_t>;

Bytes Concat(std::initializer_list<Bytes> parts);
void PutLe16(Bytes& out, unsigned value);
void PutLe32(Bytes& out, std::uint32_t value);

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};
std::ostream& operator<<(std::ostream& out, const Rgb& c);
// The "r,g,b" text that skin files use.
std::string SkinColor(const Rgb& c);

// Pixels top row first.
class Canvas {
public:
    Canvas(int width, int height, Rgb fill);
    // From R, G, B bytes, rows top to bottom.
    static Canvas FromRgb(int width, int height, const Bytes& rgb);
    int Width() const { return width_; }
    int Height() const { return height_; }
    Rgb At(int x, int y) const { return pixels_.at(Index(x, y)); }
    void Set(int x, int y, Rgb c) { pixels_.at(Index(x, y)) = c; }
    // Clipped to the canvas.
    void FillRect(int left, int top, int width, int height, Rgb c);

private:
    std::size_t Index(int x, int y) const;
    int width_, height_;
    std::vector<Rgb> pixels_;
};

// An uncompressed 24-bit Windows bitmap, bottom row first.
Bytes EncodeBmp(const Canvas& canvas);

// ---- GIF, block by block ----

// "GIF89a" and the logical screen, with the global colour table when
// `palette` is not empty (padded to a power of two, at least 2 entries).
Bytes GifScreen(int width, int height, const std::vector<Rgb>& palette);
// The Netscape extension that loops forever.
Bytes GifLoopExtension();
// A graphic control block: `flags` (disposal and transparency bits), the
// delay in hundredths of a second, the transparent index.
Bytes GifGraphicControl(int delayCentiseconds, std::uint8_t flags = 0, std::uint8_t transparent = 0);
// An image descriptor without a local table, the minimum code size, `data`
// in sub-blocks, and the terminator.
Bytes GifImage(int left, int top, int width, int height, int minCodeSize, const Bytes& data);
// Variable-width LZW as GIF decoders expect it.
Bytes LzwEncode(const std::vector<std::uint8_t>& indices, int minCodeSize);

struct GifFrame {
    Canvas picture;
    int delayCentiseconds = 10;
    int left = 0, top = 0;  // the frame's place on the logical screen
};
// A GIF89a that loops forever: a global palette of every colour used (at
// most 256), then per frame a graphic control block ("leave in place") and
// an LZW-coded image. The screen is the first frame's size unless given.
Bytes EncodeGif(const std::vector<GifFrame>& frames, std::optional<std::pair<int, int>> screen = {});

// 8-bit mono PCM at 11025 Hz: a square tone.
Bytes EncodeWav(int milliseconds, int frequencyHz);

}  // namespace corvale::test
