// A decoded picture kept as a device-independent bitmap, ready to be drawn
// at the density of the display it is shown on.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "image/pixels.h"
#include "platform/types.h"
#include "platform/win32/handles.h"

namespace corvale::win32 {

using image::kMaxPicturePixels;
using image::kMaxPictureSide;

// A 32-bit top-down DIB section, its pixels premultiplied.
struct DibPixels {
    UniqueBitmap bitmap;
    std::uint8_t* bits = nullptr;
    int width = 0;
    int height = 0;
    bool translucent = false;

    // nullptr for an empty or absurd size.
    static std::unique_ptr<DibPixels> Make(int width, int height);
};

class Win32Picture final : public Picture {
public:
    // `bgra`: width x height pixels, rows top to bottom, bytes blue, green,
    // red, alpha (not premultiplied). nullptr for an empty or absurd size.
    static std::shared_ptr<Win32Picture> FromBgra(int width, int height, std::span<const std::uint8_t> bgra);
    // The picture itself when it is one of ours, else a drawable copy made
    // from its pixels; nullptr for nullptr or an empty picture.
    static std::shared_ptr<const Win32Picture> Drawable(const PicturePtr& picture);
    // The same pixels read as `density` of them to the skin pixel (a denser
    // variant); nullptr when its size is no multiple of the density.
    static std::shared_ptr<const Win32Picture> WithDensity(const std::shared_ptr<const Win32Picture>& picture,
                                                           int density);

    Win32Picture(std::shared_ptr<const DibPixels> pixels, int density)
        : pixels_(std::move(pixels)), density_(density) {}

    // In skin pixels: the bitmap's pixels over the density.
    int Width() const override { return pixels_->width / density_; }
    int Height() const override { return pixels_->height / density_; }
    int Density() const { return density_; }
    // One pixel of each skin pixel's block.
    std::vector<std::uint8_t> Rgb24() const override;

    // Draws into the device rectangle for a display of `dpi`: scaled to it
    // when `stretch`, else at the picture's own size there, cut to the
    // rectangle. Transparent pixels are left out; `cut` is the window's
    // outline colour, which the scaling keeps exact.
    void Draw(HDC dc, const RECT& device, bool stretch, int dpi,
              std::optional<COLORREF> cut = std::nullopt) const;

private:
    // The picture at its size on a display of `dpi`, scaled once and kept
    // for the next paint; nullptr when no memory is to be had for it.
    const DibPixels* ForDisplay(int dpi, std::optional<COLORREF> cut) const;

    std::shared_ptr<const DibPixels> pixels_;
    int density_ = 1;
    mutable std::unique_ptr<DibPixels> shown_;  // the last one ForDisplay made
    mutable int shownDpi_ = 0;
    mutable std::optional<COLORREF> shownCut_;
};

}  // namespace corvale::win32
