// The default theme at the screen's real density, judged on the X server's
// picture: placed, drawn, written and answering as at 96 dots per inch,
// each skin pixel taking dpi / 96 of the screen's.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cwchar>

#include "tests/e2e/driver.h"

namespace corvale::e2e {
namespace {

struct Screen {
    int dpi, width, height;
};

constexpr char kPromptCaption[] = "VEXAL Terminal - Input";
// Colours of the default theme (scripts/make_theme.py).
constexpr Rgb kBackdrop{8, 12, 10}, kKeyFace{10, 20, 15}, kKeyLit{60, 190, 110}, kUnlit{18, 40, 27};
// The information box's background and text, and its scroll bar's track.
constexpr Rgb kPanel{6, 14, 10}, kPhosphor{110, 245, 150}, kTrack{27, 60, 38};

// A 24- or 8-bit BMP of the theme, top row first.
Canvas ReadBmp(const std::filesystem::path& file) {
    const win32::UniqueBitmap bitmap(static_cast<HBITMAP>(
        LoadImageW(nullptr, file.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION)));
    BITMAP size{};
    if (!bitmap || !GetObjectW(bitmap.get(), sizeof size, &size))
        throw std::runtime_error("unreadable picture " + Utf8(file.wstring()));
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), size.bmWidth, -size.bmHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<std::uint32_t> pixels(static_cast<size_t>(size.bmWidth) * size.bmHeight);
    const win32::UniqueWindowDC screen = win32::GetWindowDCOf(nullptr);
    GetDIBits(screen.get().dc, bitmap.get(), 0, size.bmHeight, pixels.data(), &info, DIB_RGB_COLORS);
    Canvas picture(size.bmWidth, size.bmHeight, Rgb{});
    for (int y = 0; y < size.bmHeight; ++y)
        for (int x = 0; x < size.bmWidth; ++x) {
            const std::uint32_t p = pixels[static_cast<size_t>(y) * size.bmWidth + x];
            picture.Set(x, y,
                        {static_cast<std::uint8_t>(p >> 16), static_cast<std::uint8_t>(p >> 8),
                         static_cast<std::uint8_t>(p)});
        }
    return picture;
}

// A line's height and a space's width in 9-point Courier New at `dpi`, in
// screen pixels, as a program aware of the density makes it.
SIZE CourierCell(int dpi) {
    LOGFONTW font{};
    font.lfHeight = -static_cast<LONG>(std::lround(9.0 * dpi / 72));
    font.lfCharSet = DEFAULT_CHARSET;
    wcscpy(font.lfFaceName, L"Courier New");
    const win32::UniqueFont handle(CreateFontIndirectW(&font));
    const win32::UniqueWindowDC screen = win32::GetWindowDCOf(nullptr);
    const win32::ScopedSelect select(screen.get().dc, handle.get());
    TEXTMETRICW metrics{};
    SIZE space{};
    GetTextMetricsW(screen.get().dc, &metrics);
    GetTextExtentPoint32W(screen.get().dc, L" ", 1, &space);
    return {space.cx, metrics.tmHeight};
}

// Entries of Corvale1024.skn, in skin pixels of a 1024x768 window: the
// pictures shown at their own size, and the keys, box and slider used. The
// status line and the box's bottom keep their distance from the window's.
struct Entry {
    const char* file;
    Box rect;
    bool fromBottom = false;
};
constexpr Entry kPictures[] = {
    {"title.bmp", {16, 10, 368, 42}},         {"hdr_system.bmp", {16, 62, 65, 74}},
    {"hdr_mixer.bmp", {506, 62, 549, 74}},    {"hdr_control.bmp", {506, 245, 561, 257}},
    {"hdr_sound.bmp", {506, 341, 579, 353}},  {"status.bmp", {16, 748, 296, 757}, true},
    {"hint.bmp", {792, 748, 1008, 757}, true}};
constexpr Box kDisplayKey{506, 263, 622, 291}, kExplorerKey{758, 299, 874, 327}, kMeter{516, 80, 540, 200};

// The middle of skin pixel (x, y) of the window's inner area on the screen.
POINT Middle(const Box& client, int x, int y) {
    return {client.left + (Scaled(x) + Scaled(x + 1) - 1) / 2,
            client.top + (Scaled(y) + Scaled(y + 1) - 1) / 2};
}

bool Near(Rgb a, Rgb b, int by) {
    return std::abs(a.r - b.r) <= by && std::abs(a.g - b.g) <= by && std::abs(a.b - b.b) <= by;
}

class Density : public PanelTest, public ::testing::WithParamInterface<Screen> {
protected:
    // Pictures sit at their rectangles times the scale: every skin pixel of
    // a picture whose neighbours share its colour shows that colour.
    void ExpectPicturesInPlace(const Box& client) {
        const ShownScreen shown;
        int checked = 0;
        const int below = Unscaled(client).Height() - 768;
        for (Entry e : kPictures) {
            if (e.fromBottom) e.rect = {e.rect.left, e.rect.top + below, e.rect.right, e.rect.bottom + below};
            const Canvas picture = ReadBmp(theme_->RootPath() / L"theme" / e.file);
            ASSERT_EQ(picture.Width(), e.rect.Width()) << e.file;
            for (int y = 1; y + 1 < picture.Height(); ++y)
                for (int x = 1; x + 1 < picture.Width(); ++x) {
                    const Rgb c = picture.At(x, y);
                    bool even = c != kBackdrop;
                    for (int d = 0; d < 9 && even; ++d) even = picture.At(x + d % 3 - 1, y + d / 3 - 1) == c;
                    if (!even) continue;
                    const POINT p = Middle(client, e.rect.left + x, e.rect.top + y);
                    ++checked;
                    ASSERT_EQ(shown.At(p.x, p.y), c) << e.file << " at " << x << ", " << y;
                }
        }
        EXPECT_GT(checked, 1000) << "too few pictures to judge by";
    }
};

TEST_P(Density, TheDefaultThemeFillsTheScreenSharplyAndAnswersAsAt96) {
    const Screen s = GetParam();
    if (ScreenDpi() != s.dpi || ScreenWidth() != s.width || ScreenHeight() != s.height)
        GTEST_SKIP() << "wants a " << s.width << "x" << s.height << " screen at " << s.dpi
                     << " dpi, as scripts/test.sh sets one up";
    const auto folder = DefaultTheme();
    if (!folder) GTEST_SKIP() << "no themes\\default above the test programs";
    std::filesystem::copy(*folder, theme_->RootPath() / L"theme");
    // Programs enough in the suite's folder for the information box to
    // need its scroll bar.
    for (int i = 0; i < 20; ++i)
        std::filesystem::copy_file(NextToDriver(L"corvale_e2e_plain.exe"),
                                   theme_->RootPath() / (L"tool" + std::to_wstring(i) + L".exe"));
    const HWND window = StartPanelAndWait();
    ASSERT_TRUE(window);

    // The panel sees a 1024-pixel screen, takes Corvale1024.skn and fills
    // the work area.
    ASSERT_EQ(ScreenInSkinPixels().right, 1024);
    const Box placed = Scaled(Unscaled(WorkArea()));
    EXPECT_TRUE(WaitUntil([&] { return WindowRect(window) == placed; }, 5s)) << WindowRect(window);
    const Box client = ClientRectOnScreen(window);
    ASSERT_EQ(Unscaled(client).Width(), 1024);
    const Box infoBox{16, 80, 490, Unscaled(client).Height() - 36};
    ASSERT_TRUE(WaitUntil([&] { return TextBoxText(window, infoBox).value_or("").size() > 100; }, 20s))
        << "the information panel was not filled";
    Sleep(1000);  // the face is built entry by entry

    ExpectPicturesInPlace(client);
    const int dpi = ScreenDpi();
    if (dpi == 192) {  // the title's @2x picture, pixel for pixel
        const Canvas dense = ReadBmp(theme_->RootPath() / L"theme" / L"title@2x.bmp");
        const ShownScreen shown;
        const Box title = InnerToScreen(window, kPictures[0].rect);
        ASSERT_EQ(title.Width(), dense.Width());
        for (int y = 0; y < dense.Height(); ++y)
            for (int x = 0; x < dense.Width(); ++x)
                ASSERT_EQ(shown.At(title.left + x, title.top + y), dense.At(x, y)) << x << ", " << y;
    }

    // Text in the real font there, in as many columns as at 96 dpi (the
    // box's twips over a space's, less four, halved).
    const std::string text = TextBoxText(window, infoBox).value_or("");
    const int columns = static_cast<int>((text.find("\r\n") - 1) / 2);
    EXPECT_NEAR(columns, static_cast<int>((infoBox.Width() * 1.0 / CourierCell(96).cx - 4) / 2), 1)
        << text.substr(0, 80);
    const ShownScreen page;
    const Box box = InnerToScreen(window, infoBox);
    std::vector<int> starts;  // rows where a line of letters begins
    for (int y = box.top, inLine = 0; y < box.top + box.Height() / 2; ++y) {
        int ink = 0;
        for (int x = box.left; x < box.left + box.Width() / 2 && !ink; ++x)
            ink = !Near(page.At(x, y), Rgb{6, 14, 10}, 24);
        if (ink && !inLine) starts.push_back(y);
        inLine = ink;
    }
    ASSERT_GE(starts.size(), 3u);
    // A line's first inked row depends on its letters (and on how a Wine
    // rasterises them), so two lines' starts are a line apart within a pixel.
    EXPECT_NEAR(starts[2] - starts[1], CourierCell(dpi).cy, 1)
        << "a line of 9-point Courier New at " << dpi << " dpi";
    // The box's own scroll bar at its right edge, six skin pixels wide: its
    // thumb at the top in the text's colour, its track below in the
    // background's with a little of the text's.
    const int bar = box.right - Scaled(6), top = box.top + Scaled(2);
    EXPECT_EQ(page.At(bar - 1, top), kPanel) << "beside the scroll bar";
    EXPECT_EQ(page.At(bar, top), kPhosphor) << "the thumb";
    EXPECT_EQ(page.At(box.right - 1, top), kPhosphor) << "the thumb";
    EXPECT_EQ(page.At(bar, box.bottom - 1), kTrack) << "the track";

    // Hover on a key and off it: its lit picture, then its plain one.
    const POINT face = Middle(client, kDisplayKey.left + 3, kDisplayKey.top + 3);
    EXPECT_EQ(ScreenPixel(face.x, face.y), kKeyFace);
    MoveCursor(face.x, face.y);
    EXPECT_TRUE(WaitUntil([&] { return ShownScreen().At(face.x, face.y) == kKeyLit; }, 3s)) << "no hover";
    MoveCursor(client.left + 1, client.bottom - 1);
    EXPECT_TRUE(WaitUntil([&] { return ShownScreen().At(face.x, face.y) == kKeyFace; }, 3s)) << "hover stays";

    // A slider pressed at the last screen pixel of its skin row 6 and at the
    // first of row 7 gives the steps those rows give at 96 dpi: 18 and 17.
    const Box& meter = kMeter;
    auto lit = [&](int segment) {
        const POINT p = Middle(client, meter.left + 12, meter.top + 120 - (segment + 1) * 6 + 3);
        return ScreenPixelNow(p.x, p.y) != kUnlit;
    };
    const int x = Middle(client, meter.left + 12, 0).x;
    Press(x, client.top + Scaled(meter.top + 7) - 1, MouseButton::Left);
    EXPECT_TRUE(WaitUntil([&] { return lit(18) && !lit(19); }, 3s)) << "not step 18";
    Press(x, client.top + Scaled(meter.top + 7), MouseButton::Left);
    EXPECT_TRUE(WaitUntil([&] { return lit(17) && !lit(18); }, 3s)) << "not step 17";

    // A protected key opens the prompt at its picture's size times the
    // scale, centred, its mask showing the face beneath and nowhere else.
    const ShownScreen before;
    const POINT lock = Middle(client, kExplorerKey.left + 58, kExplorerKey.top + 14);  // behind the password
    Click(lock.x, lock.y);
    HWND prompt = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] { return (prompt = FindWindowByCaption(kPromptCaption)) && IsWindowVisible(prompt); }, 5s));
    const Box r = WindowRect(prompt);
    EXPECT_EQ(r.Width(), Scaled(360));
    EXPECT_EQ(r.Height(), Scaled(176));
    EXPECT_NEAR(r.left, (ScreenWidth() - r.Width()) / 2, 1);
    EXPECT_NEAR(r.top, (ScreenHeight() - r.Height()) / 2, 1);
    const POINT plate = {r.left + Scaled(100), r.top + Scaled(140)};
    ASSERT_TRUE(WaitUntil([&] { return ShownScreen().At(plate.x, plate.y) == kBackdrop; }, 5s));
    const ShownScreen after;
    const POINT corner = {r.left + Scaled(2), r.top + Scaled(2)};
    EXPECT_EQ(after.At(corner.x, corner.y), before.At(corner.x, corner.y)) << "the mask hides the face";
    int maskColoured = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int across = r.left; across < r.right; ++across)
            maskColoured += Near(after.At(across, y), Rgb{255, 0, 255}, 80);
    EXPECT_EQ(maskColoured, 0) << "pixels of the mask colour show around the prompt";
    const POINT cancel = {r.left + Scaled(260), r.top + Scaled(114)};
    Click(cancel.x, cancel.y);
    EXPECT_TRUE(WaitUntil([] { return !FindWindowByCaption(kPromptCaption); }, 5s));
}

INSTANTIATE_TEST_SUITE_P(Screens, Density,
                         ::testing::Values(Screen{96, 1024, 768}, Screen{144, 1536, 1152},
                                           Screen{192, 2048, 1536}),
                         [](const auto& screen) { return std::to_string(screen.param.dpi) + "dpi"; });

}  // namespace
}  // namespace corvale::e2e
