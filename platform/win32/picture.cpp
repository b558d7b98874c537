// Pictures as 32-bit top-down DIB sections, scaled once for their display.
#include "platform/win32/picture.h"

#include <algorithm>
#include <new>

#include "image/scale_pixels.h"
#include "platform/win32/toolkit_screen.h"

namespace corvale::win32 {
namespace {

std::uint8_t Premultiply(std::uint8_t channel, std::uint8_t alpha) {
    return static_cast<std::uint8_t>((channel * alpha + 127) / 255);
}

std::uint8_t Unpremultiply(std::uint8_t channel, std::uint8_t alpha) {
    if (alpha == 0) return 0;
    return static_cast<std::uint8_t>(std::min(255, (channel * 255 + alpha / 2) / alpha));
}

std::size_t ByteCount(const DibPixels& p) {
    return static_cast<std::size_t>(p.width) * static_cast<std::size_t>(p.height) * 4;
}

}  // namespace

std::unique_ptr<DibPixels> DibPixels::Make(int width, int height) {
    if (width <= 0 || height <= 0 || width > kMaxPictureSide || height > kMaxPictureSide ||
        static_cast<long long>(width) * height > kMaxPicturePixels)
        return nullptr;
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
    auto made = std::make_unique<DibPixels>();
    made->bitmap = std::move(bitmap);
    made->bits = static_cast<std::uint8_t*>(bits);
    made->width = width;
    made->height = height;
    return made;
}

std::shared_ptr<Win32Picture> Win32Picture::FromBgra(int width, int height,
                                                     std::span<const std::uint8_t> bgra) {
    std::unique_ptr<DibPixels> pixels = DibPixels::Make(width, height);
    if (!pixels || bgra.size() < ByteCount(*pixels)) return nullptr;
    std::uint8_t* out = pixels->bits;
    bool translucent = false;
    for (std::size_t i = 0; i < ByteCount(*pixels); i += 4) {
        const std::uint8_t alpha = bgra[i + 3];
        translucent = translucent || alpha != 255;
        for (std::size_t c = 0; c < 3; ++c) out[i + c] = Premultiply(bgra[i + c], alpha);
        out[i + 3] = alpha;
    }
    pixels->translucent = translucent;
    GdiFlush();
    return std::make_shared<Win32Picture>(std::move(pixels), 1);
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

std::shared_ptr<const Win32Picture> Win32Picture::WithDensity(
    const std::shared_ptr<const Win32Picture>& picture, int density) {
    if (!picture || density < 1 || picture->pixels_->width % density != 0 ||
        picture->pixels_->height % density != 0)
        return nullptr;
    try {
        return std::make_shared<const Win32Picture>(picture->pixels_, density);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

std::vector<std::uint8_t> Win32Picture::Rgb24() const {
    const std::size_t width = static_cast<std::size_t>(Width()), height = static_cast<std::size_t>(Height());
    std::vector<std::uint8_t> rgb;
    try {
        rgb.resize(width * height * 3);
    } catch (const std::bad_alloc&) {
        return {};  // callers check the size against Width() x Height()
    }
    GdiFlush();
    const auto d = static_cast<std::size_t>(density_);
    const std::size_t stride = static_cast<std::size_t>(pixels_->width) * 4;
    for (std::size_t y = 0; y < height; ++y)
        for (std::size_t x = 0; x < width; ++x) {
            const std::uint8_t* p = pixels_->bits + (y * d + d / 2) * stride + (x * d + d / 2) * 4;
            std::uint8_t* out = rgb.data() + (y * width + x) * 3;
            out[0] = Unpremultiply(p[2], p[3]);
            out[1] = Unpremultiply(p[1], p[3]);
            out[2] = Unpremultiply(p[0], p[3]);
        }
    return rgb;
}

const DibPixels* Win32Picture::ForDisplay(int dpi, std::optional<COLORREF> cut) const {
    const int width = ToDevice(Width(), dpi), height = ToDevice(Height(), dpi);
    if (width == pixels_->width && height == pixels_->height) return pixels_.get();
    if (shown_ && shownDpi_ == dpi && shownCut_ == cut) return shown_.get();
    shown_.reset();
    std::unique_ptr<DibPixels> made = DibPixels::Make(width, height);
    if (!made) return nullptr;
    GdiFlush();
    if (!ScalePixels({pixels_->bits, ByteCount(*pixels_)}, pixels_->width, pixels_->height,
                     {made->bits, ByteCount(*made)}, width, height, cut))
        return nullptr;
    made->translucent = pixels_->translucent;
    shown_ = std::move(made);
    shownDpi_ = dpi;
    shownCut_ = cut;
    return shown_.get();
}

void Win32Picture::Draw(HDC dc, const RECT& device, bool stretch, int dpi,
                        std::optional<COLORREF> cut) const {
    const int width = device.right - device.left, height = device.bottom - device.top;
    if (width <= 0 || height <= 0) return;
    // Without memory for the scaled copy the picture is stretched as it is.
    const DibPixels* shown = ForDisplay(dpi, cut);
    const bool asItIs = shown == nullptr;
    if (asItIs) shown = pixels_.get();
    UniqueMemoryDC source = CreateMemoryDC(dc);
    if (!source) return;
    ScopedSelect select(source.get(), shown->bitmap.get());
    const int fullWidth = asItIs ? ToDevice(Width(), dpi) : shown->width;
    const int fullHeight = asItIs ? ToDevice(Height(), dpi) : shown->height;
    const int targetWidth = stretch ? width : std::min(width, fullWidth);
    const int targetHeight = stretch ? height : std::min(height, fullHeight);
    // The part of the picture the target shows, in its own pixels.
    const int sourceWidth =
        stretch ? shown->width
                : static_cast<int>(static_cast<long long>(targetWidth) * shown->width / fullWidth);
    const int sourceHeight =
        stretch ? shown->height
                : static_cast<int>(static_cast<long long>(targetHeight) * shown->height / fullHeight);
    if (shown->translucent) {
        const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        GdiAlphaBlend(dc, device.left, device.top, targetWidth, targetHeight, source.get(), 0, 0, sourceWidth,
                      sourceHeight, blend);
        return;
    }
    // COLORONCOLOR keeps the hard pixel edges that skins are drawn for.
    const int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, device.left, device.top, targetWidth, targetHeight, source.get(), 0, 0, sourceWidth,
               sourceHeight, SRCCOPY);
    SetStretchBltMode(dc, oldMode);
}

}  // namespace corvale::win32
