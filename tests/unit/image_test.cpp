// The program's own picture decoding: the repair of GIF frames cut from an
// animation, a frame's place on its screen, and BMPs and GIFs to pixels.
#include <gtest/gtest.h>

#include <array>

#include "image/bmp.h"
#include "image/decode.h"
#include "image/encode.h"
#include "image/gif_cut.h"
#include "tests/support/encode.h"

namespace corvale::image {
namespace {

using test::Bytes;
using test::Canvas;
using test::Concat;
using test::Rgb;

const Rgb kRed{255, 0, 0}, kGreen{0, 255, 0}, kBlue{0, 0, 255}, kWhite{255, 255, 255};

// 4 x 2 frames, each colour in another place, and one 2 x 2 frame at (1, 1)
// of a 4 x 3 screen.
Canvas Frame(const std::vector<Rgb>& pixels, int width) {
    Canvas c(width, static_cast<int>(pixels.size()) / width, {});
    for (std::size_t i = 0; i < pixels.size(); ++i)
        c.Set(static_cast<int>(i) % width, static_cast<int>(i) / width, pixels[i]);
    return c;
}
const Canvas kOne = Frame({kRed, kGreen, kBlue, kWhite, kWhite, kBlue, kGreen, kRed}, 4);
const Canvas kTwo = Frame({kGreen, kGreen, kRed, kRed, kBlue, kBlue, kWhite, kWhite}, 4);

Bytes TwoFrameGif() { return test::EncodeGif({{kOne, 10}, {kTwo, 20}}); }

std::vector<Bytes> Cut(const Bytes& gif) {
    std::vector<Bytes> frames;
    GifCutter cutter(gif);
    while (const auto chunk = cutter.NextChunk()) frames.push_back(FrameBytes(cutter.Header(), *chunk));
    if (const auto chunk = cutter.LastChunk()) frames.push_back(FrameBytes(cutter.Header(), *chunk));
    return frames;
}

Bytes Cropped(const Bytes& bytes, std::size_t keep) {
    return {bytes.begin(), bytes.begin() + static_cast<long>(keep)};
}

TEST(GifEnd, RepairsACutEndAndLeavesWholeFilesAlone) {
    const Bytes gif = TwoFrameGif(), a = Cut(gif)[0], b = Cut(gif)[1];
    const std::size_t loop = 13 + 12;  // the looping extension follows the four-colour table
    ASSERT_EQ(gif[loop], 0x21);
    const Bytes bmp = test::EncodeBmp(kOne);
    const struct {
        const char* why;
        Bytes in, out;
    } cases[] = {
        {"a stray 0x21 becomes the trailer", a, Concat({Cropped(a, a.size() - 1), {0x3B}})},
        {"terminator and trailer are added", b, Concat({b, {0x00, 0x3B}})},
        {"a whole GIF stays", gif, gif},
        {"bytes after the trailer go", Concat({gif, {0x00, 0x21, 0x99}}), gif},
        {"a cut extension is dropped whole", Cropped(gif, loop + 5), Concat({Cropped(gif, loop), {0x3B}})},
        {"a BMP is no GIF", bmp, bmp},
        {"three bytes are no GIF", {'G', 'I', 'F'}, {'G', 'I', 'F'}},
    };
    for (const auto& c : cases) EXPECT_EQ(NormaliseGifEnd(c.in), c.out) << c.why;
}

TEST(GifEnd, ASubBlockCutShortIsShortenedToWhatArrived) {
    const Bytes gif = test::EncodeGif({{Canvas(20, 20, kRed), 10}});
    // The image's one data sub-block follows its descriptor and code size.
    std::size_t image = 0;
    for (std::size_t i = 13 + 6; i < gif.size(); ++i)
        if (gif[i] == 0x2C) image = i;
    const std::size_t block = image + 11;
    ASSERT_GE(gif[block], 3);
    const Bytes repaired = NormaliseGifEnd(Cropped(gif, block + 3));  // two data bytes arrived
    ASSERT_EQ(repaired.size(), block + 3 + 2);
    EXPECT_EQ(repaired[block], 2);
    EXPECT_EQ(repaired[repaired.size() - 2], 0x00);
    EXPECT_EQ(repaired.back(), 0x3B);
}

TEST(OwnDecoders, GivePixelsTopRowFirstWithAFrameOnItsScreen) {
    const Canvas small = Frame({kBlue, kWhite, kGreen, kRed}, 2);
    const struct {
        const char* why;
        Bytes bytes;
        Canvas expected;
    } cases[] = {
        {"BMP", test::EncodeBmp(kOne), kOne},
        {"GIF", TwoFrameGif(), kOne},
        {"second cut frame", Cut(TwoFrameGif())[1], kTwo},
        {"frame off the corner", test::EncodeGif({{small, 10, 1, 1}}, std::pair{4, 3}),
         [&] {
             Canvas c(4, 3, {});
             for (int y = 0; y < 2; ++y)
                 for (int x = 0; x < 2; ++x) c.Set(1 + x, 1 + y, small.At(x, y));
             return c;
         }()},
    };
    for (const auto& c : cases) {
        const std::optional<Pixels> pixels = DecodeOwn(c.bytes);
        ASSERT_TRUE(pixels) << c.why;
        ASSERT_EQ(pixels->width, c.expected.Width()) << c.why;
        ASSERT_EQ(pixels->height, c.expected.Height()) << c.why;
        for (int y = 0; y < pixels->height; ++y)
            for (int x = 0; x < pixels->width; ++x) {
                const std::uint8_t* p = &pixels->bgra[(static_cast<std::size_t>(y) * pixels->width + x) * 4];
                const bool transparent = p[3] == 0;
                const Rgb got = transparent ? Rgb{} : Rgb{p[2], p[1], p[0]};
                EXPECT_EQ(got, c.expected.At(x, y)) << c.why << " at " << x << "," << y;
            }
    }
    const auto at = FirstImagePlacement(test::EncodeGif({{small, 10, 1, 1}}, std::pair{4, 3}));
    ASSERT_TRUE(at);
    EXPECT_EQ((std::array{at->screenWidth, at->screenHeight, at->imageLeft, at->imageTop, at->imageWidth,
                          at->imageHeight}),
              (std::array{4, 3, 1, 1, 2, 2}));
}

// Opaque pixels of `colours` colours (each of them when there are enough
// pixels), neighbours mostly different.
Pixels Pattern(int width, int height, int colours, int seed) {
    Pixels p{width, height, std::vector<std::uint8_t>(static_cast<std::size_t>(width * height) * 4, 255)};
    for (int i = 0; i < width * height; ++i) {
        const int c = (i * 7 + seed) % colours;
        p.bgra[static_cast<std::size_t>(i) * 4] = static_cast<std::uint8_t>(c % 256);
        p.bgra[static_cast<std::size_t>(i) * 4 + 1] = static_cast<std::uint8_t>(c / 256 * 40);
        p.bgra[static_cast<std::size_t>(i) * 4 + 2] = static_cast<std::uint8_t>(255 - c % 256);
    }
    return p;
}

TEST(Encode, WritesBmpsAndGifsThatTheDecodersAndTheFrameCutterReadBackWhole) {
    // 5 pixels a row need padding; 23 x 13 frames run past the 250 codes
    // after which a clear code keeps the decoder's codes at nine bits.
    const Pixels bmp = Pattern(5, 3, 15, 0);
    const auto decoded = DecodePlainBmp(EncodeBmp(bmp));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->bgra, bmp.bgra);

    const std::vector<GifFrame> frames = {
        {Pattern(23, 13, 256, 1), 7}, {Pattern(23, 13, 40, 2), 30}, {Pattern(23, 13, 3, 3), 1}};
    const auto gif = EncodeGif(frames);
    ASSERT_TRUE(gif);
    std::vector<long> times;
    GifCutter cutter(*gif);
    while (const auto chunk = cutter.NextChunk()) times.push_back(FrameDisplayTime(*chunk));
    if (const auto chunk = cutter.LastChunk()) times.push_back(FrameDisplayTime(*chunk));
    EXPECT_EQ(times, (std::vector<long>{70, 300, 10}));
    const std::vector<Bytes> cut = Cut(*gif);
    ASSERT_EQ(cut.size(), frames.size()) << "the image data holds the bytes frames are cut at";
    for (std::size_t i = 0; i < cut.size(); ++i) {
        const auto frame = DecodeOwn(cut[i]);
        ASSERT_TRUE(frame) << "frame " << i;
        EXPECT_EQ(frame->bgra, frames[i].picture.bgra) << "frame " << i;
    }
    EXPECT_FALSE(EncodeGif({{Pattern(23, 13, 257, 0), 10}})) << "more colours than a table holds";
}

}  // namespace
}  // namespace corvale::image
