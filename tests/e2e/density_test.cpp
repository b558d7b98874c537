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

// A 24- or 8-bit BMP of the theme, top row first.
Picture ReadBmp(const std::filesystem::path& file) {
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
    Picture picture(size.bmWidth, size.bmHeight, Rgb{});
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

struct Entry {
    std::string file, kind;
    Box rect;  // skin pixels of the window's inner area
};

// The layout skin's entries, entries[n - 1] for key n, their rectangles
// counted from the window's far edges where negative (a percentage is left
// out: such a picture is stretched).
std::vector<Entry> Entries(const std::filesystem::path& skin, int width, int height) {
    std::vector<Entry> entries;
    for (int n = 1; n < 100; ++n) {
        wchar_t key[3] = {static_cast<wchar_t>(L'0' + n / 10), static_cast<wchar_t>(L'0' + n % 10), 0};
        wchar_t value[512] = {};
        if (!GetPrivateProfileStringW(L"DEFAULT", key, L"", value, 512, skin.c_str())) break;
        std::vector<std::string> f(1);
        for (const char c : Utf8(value))
            if (c == ',') f.emplace_back();
            else f.back().push_back(c);
        f.resize(std::max<size_t>(f.size(), 6));
        int r[4];  // left, top, width, height
        for (size_t i = 0; i < 4; ++i) r[i] = std::atoi(f[i + 2].c_str());
        if (r[0] < 0) r[0] += width;
        if (r[1] < 0) r[1] += height;
        if (r[2] < 0 || f[4].find('%') != std::string::npos) r[2] = r[2] < 0 ? r[2] + width - r[0] : 0;
        if (r[3] < 0) r[3] += height - r[1];
        entries.push_back({f[0], f[1], {r[0], r[1], r[0] + r[2], r[1] + r[3]}});
    }
    return entries;
}

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
    void ExpectPicturesInPlace(const Box& client, const std::vector<Entry>& entries) {
        const ShownScreen shown;
        int checked = 0;
        for (const Entry& e : entries) {
            if (e.kind != "P") continue;
            const Picture picture = ReadBmp(theme_->RootPath() / L"theme" / Wide(e.file));
            if (picture.Width() != e.rect.Width() || picture.Height() != e.rect.Height()) continue;
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
    const HWND window = StartPanelAndWait();
    ASSERT_TRUE(window);

    // The panel sees a 1024-pixel screen, takes Corvale1024.skn and fills
    // the work area.
    ASSERT_EQ(ScreenInSkinPixels().right, 1024);
    const Box placed = Scaled(Unscaled(WorkArea()));
    EXPECT_TRUE(WaitUntil([&] { return WindowRect(window) == placed; }, 5s)) << WindowRect(window);
    const Box client = ClientRectOnScreen(window);
    const Box inner = Unscaled(client);
    const std::vector<Entry> entries =
        Entries(theme_->RootPath() / L"theme" / L"Corvale1024.skn", inner.Width(), inner.Height());
    ASSERT_TRUE(
        WaitUntil([&] { return TextBoxText(window, entries[5].rect).value_or("").size() > 100; }, 20s))
        << "the information panel was not filled";
    Sleep(1000);  // the face is built entry by entry

    ExpectPicturesInPlace(client, entries);
    for (const Entry& e : entries) {
        if (e.kind != "B") continue;
        EXPECT_TRUE(std::ranges::any_of(
            ChildWindows(window),
            [&](const ChildWindow& c) { return c.rect == InnerToScreen(window, e.rect); }))
            << "no button window at " << InnerToScreen(window, e.rect);
    }
    const int dpi = ScreenDpi();
    if (dpi == 192) {  // the title's @2x picture, pixel for pixel
        const Picture dense = ReadBmp(theme_->RootPath() / L"theme" / L"title@2x.bmp");
        const ShownScreen shown;
        const Box title = InnerToScreen(window, entries[0].rect);
        ASSERT_EQ(title.Width(), dense.Width());
        for (int y = 0; y < dense.Height(); ++y)
            for (int x = 0; x < dense.Width(); ++x)
                ASSERT_EQ(shown.At(title.left + x, title.top + y), dense.At(x, y)) << x << ", " << y;
    }

    // Text in the real font there, in as many columns as at 96 dpi (the
    // box's twips over a space's, less four, halved).
    const std::string text = TextBoxText(window, entries[5].rect).value_or("");
    const int columns = static_cast<int>((text.find("\r\n") - 1) / 2);
    EXPECT_NEAR(columns, static_cast<int>((entries[5].rect.Width() * 1.0 / CourierCell(96).cx - 4) / 2), 1)
        << text.substr(0, 80);
    const ShownScreen page;
    const Box box = InnerToScreen(window, entries[5].rect);
    std::vector<int> starts;  // rows where a line of letters begins
    for (int y = box.top, inLine = 0; y < box.top + box.Height() / 2; ++y) {
        int ink = 0;
        for (int x = box.left; x < box.left + box.Width() / 2 && !ink; ++x)
            ink = !Near(page.At(x, y), Rgb{6, 14, 10}, 24);
        if (ink && !inLine) starts.push_back(y);
        inLine = ink;
    }
    ASSERT_GE(starts.size(), 3u);
    EXPECT_EQ(starts[2] - starts[1], CourierCell(dpi).cy)
        << "a line of 9-point Courier New at " << dpi << " dpi";

    // Hover on a key and off it: its lit picture, then its plain one.
    const Entry& key = entries[10];  // btn_display.bmp
    const POINT face = Middle(client, key.rect.left + 3, key.rect.top + 3);
    EXPECT_EQ(ScreenPixel(face.x, face.y), kKeyFace);
    MoveCursor(face.x, face.y);
    EXPECT_TRUE(WaitUntil([&] { return ShownScreen().At(face.x, face.y) == kKeyLit; }, 3s)) << "no hover";
    MoveCursor(client.left + 1, client.bottom - 1);
    EXPECT_TRUE(WaitUntil([&] { return ShownScreen().At(face.x, face.y) == kKeyFace; }, 3s)) << "hover stays";

    // A slider pressed at the last screen pixel of its skin row 6 and at the
    // first of row 7 gives the steps those rows give at 96 dpi: 18 and 17.
    const Box meter{516, 80, 540, 200};
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
    const Entry& locked = entries[16];  // btn_explorer.bmp, True
    const POINT lock = Middle(client, locked.rect.left + 58, locked.rect.top + 14);
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
