// A decoded picture kept as a device-independent bitmap, ready to be drawn.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "image/pixels.h"
#include "platform/types.h"
#include "platform/win32/handles.h"

namespace corvale::win32 {

using image::kMaxPicturePixels;
using image::kMaxPictureSide;

class Win32Picture final : public Picture {
public:
    // `bgra`: width x height pixels, rows top to bottom, bytes blue, green,
    // red, alpha (not premultiplied). nullptr for an empty or absurd size.
    static std::shared_ptr<Win32Picture> FromBgra(int width, int height, std::span<const std::uint8_t> bgra);
    // The picture itself when it is one of ours, else a drawable copy made
    // from its pixels; nullptr for nullptr or an empty picture.
    static std::shared_ptr<const Win32Picture> Drawable(const PicturePtr& picture);

    int Width() const override { return width_; }
    int Height() const override { return height_; }
    std::vector<std::uint8_t> Rgb24() const override;

    HBITMAP Bitmap() const { return bitmap_.get(); }

    // Draws at (x, y): scaled to width x height when `stretch`, else at its
    // own size, cut to width x height. Transparent pixels are left out.
    void Draw(HDC dc, int x, int y, int width, int height, bool stretch) const;

private:
    Win32Picture(UniqueBitmap bitmap, std::uint8_t* bits, int width, int height)
        : bitmap_(std::move(bitmap)), bits_(bits), width_(width), height_(height) {}

    UniqueBitmap bitmap_;
    std::uint8_t* bits_;  // the DIB section's pixels, premultiplied
    int width_;
    int height_;
    bool translucent_ = false;
};

}  // namespace corvale::win32
