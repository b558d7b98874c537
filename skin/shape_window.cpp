// The prompt window's outline: colour key or a region of opaque runs.
#include "skin/shape_window.h"

#include "platform/shaper.h"

namespace corvale {

std::vector<Rect> OpaqueRuns(const Picture& picture, Color mask) {
    const int width = picture.Width();
    const int height = picture.Height();
    const std::vector<std::uint8_t> pixels = picture.Rgb24();
    std::vector<Rect> runs;
    if (width <= 0 || height <= 0 || pixels.size() < static_cast<size_t>(width) * height * 3) return runs;
    auto color = [&](int x, int y) {
        const size_t at = (static_cast<size_t>(y) * width + x) * 3;
        return static_cast<Color>(pixels[at] | (pixels[at + 1] << 8) | (pixels[at + 2] << 16));
    };
    for (int y = 0; y < height; ++y) {
        int x = 0;
        for (;;) {
            while (x < width && color(x, y) == mask) ++x;
            if (x == width) break;
            const int start = x;
            while (x < width && color(x, y) != mask) ++x;
            runs.push_back({start, y, x, y + 1});
        }
    }
    return runs;
}

void ShapeWindow(Context& ctx, Form& window, Color mask, const std::string& picturePath, bool nt) {
    const PicturePtr picture = ctx.os.toolkit.LoadPicture(picturePath);
    if (!picture) return;
    window.SetPicture(picture);
    window.SetOuterSize(static_cast<double>(picture->Width()) * ctx.os.toolkit.TwipsPerPixelX(),
                        static_cast<double>(picture->Height()) * ctx.os.toolkit.TwipsPerPixelY());
    if (nt) ctx.os.shaper.SetColorKey(window.Handle(), mask);
    else ctx.os.shaper.SetRegion(window.Handle(), OpaqueRuns(*picture, mask));
    window.Refresh();
}

}  // namespace corvale
