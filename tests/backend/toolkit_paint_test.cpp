// What reaches the screen: background colour and picture, windowless
// pictures in their stacking order, picture buttons above them all.
#include <gtest/gtest.h>

#include <windows.h>

#include "platform/win32/toolkit.h"
#include "tests/backend/toolkit_test_support.h"

namespace corvale::win32 {
namespace {

using testing::AsHwnd;
using testing::Bmp24;
using testing::PumpFor;
using testing::RecordingEvents;
using A = ControlArray;

constexpr int kFormX = 60;
constexpr int kFormY = 70;
constexpr Color kNavy = Rgb(0, 0, 128);

class ToolkitPaintTest : public ::testing::Test {
protected:
    void SetUp() override {
        const int tpp = toolkit.TwipsPerPixelX();
        form = toolkit.CreateForm(FormKind::Main, events);
        form->SetBackColor(kNavy);
        form->Move(kFormX * static_cast<double>(tpp), kFormY * static_cast<double>(toolkit.TwipsPerPixelY()),
                   240.0 * tpp, 160.0 * toolkit.TwipsPerPixelY());
        form->Show();
    }

    PicturePtr Solid(Color c, int width = 2, int height = 2) {
        std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width * height) * 3);
        for (std::size_t i = 0; i < rgb.size(); ++i)
            rgb[i] = static_cast<std::uint8_t>((c >> (8 * (i % 3))) & 0xFF);
        return toolkit.LoadPictureFromBytes(Bmp24(width, height, rgb));
    }

    Control& Picture(A array, int index, Color c, int left, int top, int size, bool stretch = true) {
        Control* made =
            index == 0 || form->Find(array, index) ? form->Find(array, index) : form->Create(array, index);
        made->SetStretch(stretch);
        made->SetLeft(left);
        made->SetTop(top);
        made->SetWidth(size);
        made->SetHeight(size);
        made->SetPicture(Solid(c));
        made->SetVisible(true);
        return *made;
    }

    // The colour on the screen at a point of the form's client area, once
    // every pending paint has run.
    Color At(int x, int y) {
        PumpFor(toolkit, 60);
        GdiFlush();
        const HDC screen = GetDC(nullptr);
        const COLORREF c = GetPixel(screen, kFormX + x, kFormY + y);
        ReleaseDC(nullptr, screen);
        return static_cast<Color>(c);
    }

    Win32Toolkit toolkit;
    RecordingEvents events;
    std::unique_ptr<Form> form;
};

TEST_F(ToolkitPaintTest, BackColorFillsTheWindowAndTheBackgroundPictureSitsTopLeft) {
    EXPECT_EQ(At(230, 150), kNavy);
    ASSERT_TRUE(form->SetPicture(Solid(Rgb(255, 0, 255), 8, 8)));
    EXPECT_EQ(At(0, 0), Rgb(255, 0, 255));
    EXPECT_EQ(At(7, 7), Rgb(255, 0, 255));
    EXPECT_EQ(At(8, 8), kNavy);
    form->SetBackColor(Rgb(0, 128, 0));
    EXPECT_EQ(At(100, 100), Rgb(0, 128, 0));
}

TEST_F(ToolkitPaintTest, PicturesShowWherePlacedStretchedOrAtTheirOwnSize) {
    Picture(A::imgPic, 1, Rgb(255, 0, 0), 20, 20, 40);
    Picture(A::imgGif, 1, Rgb(0, 0, 255), 100, 20, 40, false);
    const struct {
        int x, y;
        Color expected;
        const char* where;
    } samples[] = {
        {20, 20, Rgb(255, 0, 0), "stretched, first pixel"},
        {59, 59, Rgb(255, 0, 0), "stretched, last pixel"},
        {60, 60, kNavy, "just outside"},
        {101, 21, Rgb(0, 0, 255), "own size"},
        {110, 30, kNavy, "past its own size, inside its rectangle"},
    };
    for (const auto& s : samples) EXPECT_EQ(At(s.x, s.y), s.expected) << s.where;

    form->Find(A::imgPic, 1)->SetVisible(false);
    EXPECT_EQ(At(30, 30), kNavy) << "hidden";
    form->Find(A::imgPic, 1)->SetVisible(true);
    form->Find(A::imgPic, 1)->SetLeft(150);
    EXPECT_EQ(At(30, 30), kNavy) << "moved away";
    EXPECT_EQ(At(160, 30), Rgb(255, 0, 0)) << "moved here";
}

TEST_F(ToolkitPaintTest, LaterPicturesLieOnTopUntilOneIsBroughtToTheFront) {
    Control& red = Picture(A::imgPic, 1, Rgb(255, 0, 0), 20, 20, 40);
    Picture(A::imgGif, 1, Rgb(0, 255, 0), 30, 30, 40);
    EXPECT_EQ(At(35, 35), Rgb(0, 255, 0));
    red.BringToFront();
    EXPECT_EQ(At(35, 35), Rgb(255, 0, 0));
    EXPECT_EQ(At(65, 65), Rgb(0, 255, 0));
}

TEST_F(ToolkitPaintTest, PictureButtonDrawsAboveWindowlessPicturesOnItsWhiteBackground) {
    Control& cover = Picture(A::imgPic, 1, Rgb(255, 0, 0), 0, 0, 120);
    Control* button = form->Create(A::imgBut, 1);
    button->SetLeft(30);
    button->SetTop(30);
    button->SetWidth(30);
    button->SetHeight(30);
    button->SetPicture(Solid(Rgb(255, 255, 0), 10, 10));
    button->SetVisible(true);
    cover.BringToFront();
    EXPECT_EQ(At(31, 31), Rgb(255, 255, 0)) << "the picture at the button's corner, unscaled";
    EXPECT_EQ(At(50, 50), Rgb(255, 255, 255)) << "the template's white background";
    EXPECT_EQ(At(70, 70), Rgb(255, 0, 0)) << "the windowless picture beside it";
    button->SetBackColor(0);
    EXPECT_EQ(At(50, 50), Rgb(0, 0, 0)) << "the hover mark shows";
}

TEST_F(ToolkitPaintTest, TextBoxPaintsInItsBackColor) {
    Control* box = form->Create(A::txtBox, 1);
    box->SetLeft(10);
    box->SetTop(10);
    box->SetWidth(120);
    box->SetHeight(80);
    box->SetBackColor(Rgb(0, 128, 128));
    box->SetVisible(true);
    EXPECT_EQ(At(40, 70), Rgb(0, 128, 128));
}

// What the system sends when the user changes the scale or the window moves
// to a monitor of another density.
TEST_F(ToolkitPaintTest, ANewDensityRescalesEveryControlPictureAndFontInPlace) {
    Picture(A::imgPic, 1, Rgb(255, 0, 0), 10, 10, 20);
    Picture(A::imgGif, 1, Rgb(0, 0, 255), 40, 10, 20, false);
    Control* button = form->Create(A::imgBut, 1);
    button->SetLeft(70);
    button->SetTop(10);
    button->SetWidth(30);
    button->SetHeight(30);
    button->SetPicture(Solid(Rgb(255, 255, 0), 10, 10));
    button->SetVisible(true);
    Control* box = form->Create(A::txtBox, 1);
    box->SetFontSize(10);
    const HWND window = AsHwnd(form->Handle());
    RECT twice{kFormX, kFormY, kFormX + 480, kFormY + 320};
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&twice));

    const struct {
        int x, y;
        Color expected;
        const char* where;
    } samples[] = {
        {20, 20, Rgb(255, 0, 0), "the stretched picture starts at twice its place"},
        {60, 60, kNavy, "and ends at twice its far corner"},
        {83, 23, Rgb(0, 0, 255), "a picture at its own size: each pixel twice as large"},
        {159, 39, Rgb(255, 255, 0), "the button's picture, twice as large"},
        {165, 45, Rgb(255, 255, 255), "the button's background beyond it"},
    };
    for (const auto& s : samples) EXPECT_EQ(At(s.x, s.y), s.expected) << s.where;
    RECT r{};
    GetWindowRect(AsHwnd(button->Handle()), &r);
    EXPECT_EQ((std::vector<LONG>{r.left, r.top, r.right, r.bottom}),
              (std::vector<LONG>{kFormX + 140, kFormY + 20, kFormX + 200, kFormY + 80}));
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(AsHwnd(box->Handle()), WM_GETFONT, 0, 0)), sizeof font,
               &font);
    EXPECT_EQ(font.lfHeight, -27) << "10 points at 192 dpi";
    EXPECT_EQ(form->ScaleWidth(), 240) << "the layout stays in its skin pixels";
    GetWindowRect(window, &r);
    EXPECT_EQ(r.right - r.left, 480) << "the window takes the suggested rectangle";

    RECT back{kFormX, kFormY, kFormX + 240, kFormY + 160};  // for the tests after this one
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&back));
}

}  // namespace
}  // namespace corvale::win32
