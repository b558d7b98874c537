// Picture loading from files and bytes, by the program's decoders and WIC.
#include <gtest/gtest.h>

#include <windows.h>

#include "platform/win32/text.h"
#include "platform/win32/toolkit.h"
#include "tests/backend/toolkit_test_support.h"

namespace corvale::win32 {
namespace {

using testing::AnimatedGif;
using testing::Bmp24;
using testing::CutFrames;
using testing::GifFrame;
using testing::TempFolder;

using Bytes = std::vector<std::uint8_t>;

// 3 x 2: a top row of red, green, blue and a bottom row of white, black and
// a dark mixed colour; no two pixels alike, so a flipped or shifted decode shows.
const Bytes kRgb = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255, 0, 0, 0, 10, 20, 30};

// Expected R,G,B rows for palette indices (0 red, 1 green, 2 blue, 3 white).
Bytes PaletteRgb(const std::vector<int>& indices) {
    static const Bytes palette = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};
    Bytes rgb;
    for (int i : indices) rgb.insert(rgb.end(), palette.begin() + i * 3, palette.begin() + i * 3 + 3);
    return rgb;
}

const std::vector<int> kFrameOne = {0, 1, 2, 3, 3, 2, 1, 0};
const std::vector<int> kFrameTwo = {1, 1, 0, 0, 2, 2, 3, 3};

Bytes TwoFrameGif() {
    return AnimatedGif(4, 2, {GifFrame{10, 0, 0, 4, 2, kFrameOne}, GifFrame{20, 0, 0, 4, 2, kFrameTwo}});
}

class PictureTest : public ::testing::Test {
protected:
    Win32Toolkit toolkit;
};

TEST_F(PictureTest, BitmapFileDecodesWithItsSizeAndPixelsTopRowFirst) {
    TempFolder folder(L"corvale-picture");
    const std::wstring file = folder.Write(L"three.bmp", Bmp24(3, 2, kRgb));
    const PicturePtr picture = toolkit.LoadPicture(Narrow(file));
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->Width(), 3);
    EXPECT_EQ(picture->Height(), 2);
    EXPECT_EQ(picture->Rgb24(), kRgb);
}

TEST_F(PictureTest, PathWithCharactersOutsideTheCodePageLoads) {
    TempFolder folder(L"corvale-\u00e9\u0416\u4e2d");
    const std::wstring file = folder.Write(L"\u00e9t\u00e9.bmp", Bmp24(3, 2, kRgb));
    const PicturePtr picture = toolkit.LoadPicture(Narrow(file));
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->Rgb24(), kRgb);
}

TEST_F(PictureTest, WhatCannotBeDecodedGivesNoPicture) {
    TempFolder folder(L"corvale-nopicture");
    const std::wstring junk = folder.Write(L"junk.bmp", Bytes{'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c'});
    const std::wstring empty = folder.Write(L"empty.gif", Bytes{});
    EXPECT_EQ(toolkit.LoadPicture(Narrow(folder.Path() + L"\\missing.bmp")), nullptr);
    EXPECT_EQ(toolkit.LoadPicture(Narrow(folder.Path())), nullptr) << "a folder is no picture";
    EXPECT_EQ(toolkit.LoadPicture(""), nullptr);
    EXPECT_EQ(toolkit.LoadPicture(Narrow(junk)), nullptr);
    EXPECT_EQ(toolkit.LoadPicture(Narrow(empty)), nullptr);
    EXPECT_EQ(toolkit.LoadPictureFromBytes({}), nullptr);
    const Bytes gif = TwoFrameGif();
    EXPECT_EQ(toolkit.LoadPictureFromBytes(std::span(gif).first(12)), nullptr) << "a header cut short";
}

TEST_F(PictureTest, WholeAnimatedGifGivesItsFirstFrame) {
    const Bytes gif = TwoFrameGif();
    const PicturePtr picture = toolkit.LoadPictureFromBytes(gif);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->Width(), 4);
    EXPECT_EQ(picture->Height(), 2);
    EXPECT_EQ(picture->Rgb24(), PaletteRgb(kFrameOne));
}

TEST_F(PictureTest, CutFramesOfBothKindsDecodeAndTheCallersBytesStayAsTheyWere) {
    const auto frames = CutFrames(TwoFrameGif());
    ASSERT_EQ(frames.size(), 2u);
    ASSERT_EQ(frames[0].back(), 0x21) << "the first frame ends with the next frame's introducer";
    ASSERT_NE(frames[1].back(), 0x3B) << "the last frame lacks the trailer";

    const struct {
        const char* kind;
        const Bytes& bytes;
        const std::vector<int>& indices;
    } cases[] = {{"stray introducer", frames[0], kFrameOne}, {"missing end", frames[1], kFrameTwo}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        const Bytes before = c.bytes;
        const PicturePtr picture = toolkit.LoadPictureFromBytes(c.bytes);
        ASSERT_NE(picture, nullptr);
        EXPECT_EQ(picture->Width(), 4);
        EXPECT_EQ(picture->Height(), 2);
        EXPECT_EQ(picture->Rgb24(), PaletteRgb(c.indices));
        EXPECT_EQ(c.bytes, before);
    }
}

TEST_F(PictureTest, FrameCoveringPartOfTheScreenIsPlacedOnATransparentScreen) {
    // Screen 4 x 2; the image is the right half.
    const Bytes gif = AnimatedGif(4, 2, {GifFrame{10, 2, 0, 2, 2, {1, 2, 3, 0}}});
    const PicturePtr picture = toolkit.LoadPictureFromBytes(gif);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->Width(), 4);
    EXPECT_EQ(picture->Height(), 2);
    const Bytes rgb = picture->Rgb24();
    const Bytes clear = {0, 0, 0};
    const Bytes expected_row0 = PaletteRgb({1, 2});
    const Bytes expected_row1 = PaletteRgb({3, 0});
    EXPECT_EQ(Bytes(rgb.begin(), rgb.begin() + 3), clear);
    EXPECT_EQ(Bytes(rgb.begin() + 6, rgb.begin() + 12), expected_row0);
    EXPECT_EQ(Bytes(rgb.begin() + 18, rgb.begin() + 24), expected_row1);
}

// Headers that ask for more than a picture may have: the canvas of a GIF's
// logical screen and a BMP's own sizes. None may crash or end the program;
// each is no picture, whole or cut as an animation cuts it.
TEST_F(PictureTest, HeadersAskingForHugeOrImpossibleSizesGiveNoPicture) {
    for (const int side : {32768, 65535}) {
        SCOPED_TRACE(side);
        const Bytes gif =
            AnimatedGif(side, side, {GifFrame{10, 0, 0, 1, 1, {2}}, GifFrame{10, 0, 0, 1, 1, {1}}});
        EXPECT_EQ(toolkit.LoadPictureFromBytes(gif), nullptr);
        for (const Bytes& frame : CutFrames(gif)) EXPECT_EQ(toolkit.LoadPictureFromBytes(frame), nullptr);
    }
    const auto patched = [](std::size_t at, std::uint32_t value) {
        Bytes bmp = Bmp24(1, 1, {1, 2, 3});
        for (int i = 0; i < 4; ++i) bmp[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
        return bmp;
    };
    const struct {
        const char* what;
        Bytes bytes;
    } bmps[] = {
        {"header size", patched(14, 0xFFFFFFF0u)},
        {"pixel data offset", patched(10, 0xFFFFFFF0u)},
        {"width", patched(18, 0x7FFFFFFFu)},
        {"height", patched(22, 0x7FFFFFFFu)},
        {"both sides at 65536",
         [&] {
             Bytes bmp = patched(18, 65536);
             for (int i = 0; i < 4; ++i) bmp[22 + i] = bmp[18 + i];
             return bmp;
         }()},
        {"zero width", patched(18, 0)},
    };
    TempFolder folder(L"corvale-hugepicture");
    for (const auto& bmp : bmps) {
        SCOPED_TRACE(bmp.what);
        EXPECT_EQ(toolkit.LoadPictureFromBytes(bmp.bytes), nullptr);
        EXPECT_EQ(toolkit.LoadPicture(Narrow(folder.Write(L"huge.bmp", bmp.bytes))), nullptr);
    }
}

}  // namespace
}  // namespace corvale::win32
