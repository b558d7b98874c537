// The program decodes plain BMPs and GIFs itself and leaves the rest to WIC;
// for every picture both can read, both must give the same pixels.
#include <gtest/gtest.h>

#include <windows.h>

#include <random>

#include "platform/win32/picture_decode.h"
#include "tests/backend/toolkit_test_support.h"

namespace corvale::win32 {
namespace {

using testing::AnimatedGif;
using testing::Bmp24;
using testing::CutFrames;
using testing::GifFrame;
using testing::PutLe16;
using testing::PutLe32;

using Bytes = std::vector<std::uint8_t>;

Bytes RandomBytes(std::size_t count, unsigned below, unsigned seed) {
    std::mt19937 random(seed);
    Bytes out(count);
    for (auto& b : out) b = static_cast<std::uint8_t>(random() % below);
    return out;
}

// An uncompressed BMP of 1, 4, 8 or 16 bits a pixel; `values` holds one
// palette index (or 16-bit 5-5-5 value, low byte first) per pixel.
Bytes BmpOfDepth(int width, int height, int bits, const Bytes& values, bool topDown) {
    const int colours = bits <= 8 ? 1 << bits : 0;
    const int stride = ((width * bits + 31) / 32) * 4;
    const int offset = 14 + 40 + colours * 4;
    Bytes out{'B', 'M'};
    PutLe32(out, static_cast<std::uint32_t>(offset + stride * height));
    PutLe32(out, 0);
    PutLe32(out, static_cast<std::uint32_t>(offset));
    PutLe32(out, 40);
    PutLe32(out, static_cast<std::uint32_t>(width));
    PutLe32(out, static_cast<std::uint32_t>(topDown ? -height : height));
    PutLe16(out, 1);
    PutLe16(out, bits);
    for (int i = 0; i < 6; ++i) PutLe32(out, 0);
    for (int i = 0; i < colours; ++i)
        out.insert(out.end(), {static_cast<std::uint8_t>(i * 37), static_cast<std::uint8_t>(i * 91),
                               static_cast<std::uint8_t>(255 - i * 13), 0});
    const std::size_t perPixel = bits == 16 ? 2 : 1;
    for (int row = 0; row < height; ++row) {
        const int y = topDown ? row : height - 1 - row;
        Bytes line(static_cast<std::size_t>(stride), 0);
        for (int x = 0; x < width; ++x) {
            const std::size_t at = (static_cast<std::size_t>(y) * width + x) * perPixel;
            if (bits == 16) {
                line[x * 2] = values[at];
                line[x * 2 + 1] = values[at + 1];
            } else {
                const int bit = x * bits;
                line[bit / 8] |= static_cast<std::uint8_t>(values[at] << (8 - bits - bit % 8));
            }
        }
        out.insert(out.end(), line.begin(), line.end());
    }
    return out;
}

// A 10x10 picture in three colours whose data uses the LZW table (repeats
// become table codes), unlike the literal-only frames of AnimatedGif.
const Bytes kTableCodedGif = {0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x0A, 0x00, 0x0A, 0x00, 0x91, 0x00,
                              0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00, 0xFF, 0x00, 0x00,
                              0x00, 0x21, 0xF9, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00, 0x2C, 0x00, 0x00,
                              0x00, 0x00, 0x0A, 0x00, 0x0A, 0x00, 0x00, 0x02, 0x16, 0x8C, 0x2D, 0x99,
                              0x87, 0x2A, 0x1C, 0xDC, 0x33, 0xA0, 0x02, 0x75, 0xEC, 0x95, 0xFA, 0xA8,
                              0xDE, 0x60, 0x8C, 0x04, 0x91, 0x4C, 0x01, 0x00, 0x3B};

std::vector<int> RandomIndices(std::size_t count, unsigned seed) {
    const Bytes b = RandomBytes(count, 4, seed);
    return {b.begin(), b.end()};
}

TEST(PictureDecoders, AgreeWithWicOnPlainBmpsAndGifs) {
    std::vector<std::pair<std::string, Bytes>> pictures = {
        {"24-bit, odd width", Bmp24(5, 3, RandomBytes(5 * 3 * 3, 256, 1))},
        {"8-bit", BmpOfDepth(7, 5, 8, RandomBytes(35, 256, 2), false)},
        {"8-bit, top row first", BmpOfDepth(7, 5, 8, RandomBytes(35, 256, 3), true)},
        {"4-bit", BmpOfDepth(9, 4, 4, RandomBytes(36, 16, 4), false)},
        {"1-bit", BmpOfDepth(13, 3, 1, RandomBytes(39, 2, 5), false)},
        {"16-bit", BmpOfDepth(6, 4, 16, RandomBytes(48, 256, 6), false)},
        {"GIF, literal codes", AnimatedGif(6, 5, {GifFrame{10, 0, 0, 6, 5, RandomIndices(30, 7)}})},
        {"GIF, frame off the corner", AnimatedGif(8, 6, {GifFrame{10, 2, 1, 4, 3, RandomIndices(12, 8)}})},
        {"GIF, table codes", kTableCodedGif},
    };
    const Bytes animation = AnimatedGif(
        4, 3,
        {GifFrame{10, 0, 0, 4, 3, RandomIndices(12, 9)}, GifFrame{20, 1, 1, 2, 2, RandomIndices(4, 10)}});
    for (const Bytes& frame : CutFrames(animation)) pictures.emplace_back("cut frame", frame);
    Bytes transparent = kTableCodedGif;
    transparent[0x1C] = 0x01;  // the control block's flags: colour 2 is transparent
    transparent[0x1F] = 0x02;
    pictures.emplace_back("GIF, transparent colour", transparent);
    Bytes interlaced = kTableCodedGif;
    interlaced[0x2A] = 0x40;  // the image descriptor's flags
    pictures.emplace_back("GIF, interlaced", interlaced);

    PictureDecoder own;
    PictureDecoder wic;
    for (const auto& [name, bytes] : pictures) {
        SCOPED_TRACE(name);
        const PicturePtr mine = own.FromBytes(bytes);
        EXPECT_FALSE(own.StartedWic()) << "decoded through WIC, not by the program";
        const PicturePtr theirs = wic.FromBytesThroughWic(bytes);
        ASSERT_NE(theirs, nullptr);
        ASSERT_NE(mine, nullptr);
        EXPECT_EQ(mine->Width(), theirs->Width());
        EXPECT_EQ(mine->Height(), theirs->Height());
        EXPECT_EQ(mine->Rgb24(), theirs->Rgb24());
    }
}

TEST(PictureDecoders, LeaveBrokenAndUnusualPicturesToWic) {
    Bytes cut = kTableCodedGif;
    cut.resize(cut.size() - 12);  // the data ends before the image is full
    Bytes badCode = kTableCodedGif;
    badCode[0x2D] = 0xFF;  // the first codes are not colours
    Bytes noTable = kTableCodedGif;
    noTable[10] = 0x00;  // no global table, and none of its own
    PictureDecoder decoder;
    for (const Bytes& bytes : {cut, badCode, noTable}) {
        const PicturePtr own = decoder.FromBytes(bytes);
        const PicturePtr wic = decoder.FromBytesThroughWic(bytes);
        ASSERT_EQ(own == nullptr, wic == nullptr);
        if (!own) continue;
        EXPECT_EQ(own->Width(), wic->Width());
        EXPECT_EQ(own->Rgb24(), wic->Rgb24());
    }
}

}  // namespace
}  // namespace corvale::win32
