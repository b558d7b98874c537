// Pictures as 32-bit top-down DIB sections.
#include "platform/win32/picture.h"

#include <algorithm>
#include <new>

namespace corvale::win32 {
namespace {

std::uint8_t Premultiply(std::uint8_t channel, std::uint8_t alpha) {
    return static_cast<std::uint8_t>((channel * alpha + 127) / 255);
}

std::uint8_t Unpremultiply(std::uint8_t channel, std::uint8_t alpha) {
    if (alpha == 0) return 0;
    return static_cast<std::uint8_t>(std::min(255, (channel * 255 + alpha / 2) / alpha));
}

}  // namespace

std::shared_ptr<Win32Picture> Win32Picture::FromBgra(int width, int height,
                                                     std::span<const std::uint8_t> bgra) {
    if (width <= 0 || height <= 0 || width > kMaxPictureSide || height > kMaxPictureSide ||
        static_cast<long long>(width) * height > kMaxPicturePixels)
        return nullptr;
    const std::size_t bytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
    if (bgra.size() < bytes) return nullptr;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // negative: rows run top to bottom
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    UniqueBitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits) return nullptr;

    auto* out = static_cast<std::uint8_t*>(bits);
    bool translucent = false;
    for (std::size_t i = 0; i < bytes; i += 4) {
        const std::uint8_t alpha = bgra[i + 3];
        translucent = translucent || alpha != 255;
        for (std::size_t c = 0; c < 3; ++c) out[i + c] = Premultiply(bgra[i + c], alpha);
        out[i + 3] = alpha;
    }
    GdiFlush();
    std::shared_ptr<Win32Picture> picture(new Win32Picture(std::move(bitmap), out, width, height));
    picture->translucent_ = translucent;
    return picture;
}

// Both run inside paint and shaping: a copy that cannot be had is no
// picture rather than an exception through a window procedure.
std::shared_ptr<const Win32Picture> Win32Picture::Drawable(const PicturePtr& picture) {
    if (!picture) return nullptr;
    if (auto own = std::dynamic_pointer_cast<const Win32Picture>(picture)) return own;
    try {
        const std::vector<std::uint8_t> rgb = picture->Rgb24();
        const std::size_t pixels = rgb.size() / 3;
        if (picture->Width() <= 0 || picture->Height() <= 0 ||
            pixels !=
                static_cast<std::size_t>(picture->Width()) * static_cast<std::size_t>(picture->Height()))
            return nullptr;
        std::vector<std::uint8_t> bgra(pixels * 4);
        for (std::size_t i = 0; i < pixels; ++i) {
            bgra[i * 4] = rgb[i * 3 + 2];
            bgra[i * 4 + 1] = rgb[i * 3 + 1];
            bgra[i * 4 + 2] = rgb[i * 3];
            bgra[i * 4 + 3] = 255;
        }
        return FromBgra(picture->Width(), picture->Height(), bgra);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

std::vector<std::uint8_t> Win32Picture::Rgb24() const {
    const std::size_t pixels = static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_);
    std::vector<std::uint8_t> rgb;
    try {
        rgb.resize(pixels * 3);
    } catch (const std::bad_alloc&) {
        return {};  // callers check the size against Width() x Height()
    }
    GdiFlush();
    for (std::size_t i = 0; i < pixels; ++i) {
        const std::uint8_t* p = bits_ + i * 4;
        rgb[i * 3] = Unpremultiply(p[2], p[3]);
        rgb[i * 3 + 1] = Unpremultiply(p[1], p[3]);
        rgb[i * 3 + 2] = Unpremultiply(p[0], p[3]);
    }
    return rgb;
}

void Win32Picture::Draw(HDC dc, int x, int y, int width, int height, bool stretch) const {
    if (width <= 0 || height <= 0) return;
    UniqueMemoryDC source = CreateMemoryDC(dc);
    if (!source) return;
    ScopedSelect select(source.get(), bitmap_.get());
    const int sourceWidth = stretch ? width_ : std::min(width, width_);
    const int sourceHeight = stretch ? height_ : std::min(height, height_);
    const int targetWidth = stretch ? width : sourceWidth;
    const int targetHeight = stretch ? height : sourceHeight;
    if (translucent_) {
        const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        GdiAlphaBlend(dc, x, y, targetWidth, targetHeight, source.get(), 0, 0, sourceWidth, sourceHeight,
                      blend);
        return;
    }
    // COLORONCOLOR keeps the hard pixel edges that skins are drawn for.
    const int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, x, y, targetWidth, targetHeight, source.get(), 0, 0, sourceWidth, sourceHeight, SRCCOPY);
    SetStretchBltMode(dc, oldMode);
}

}  // namespace corvale::win32
