// The prompt window's outline: colour key or a region of opaque runs.
#include "prompt/shape_window.h"

#include "platform/shaper.h"

namespace corvale {

std::vector<Rect> OpaqueRuns(const Picture& picture, Color mask) {
    const int width = picture.Width();
    const int height = picture.Height();
    const std::vector<std::uint8_t> pixels = picture.Rgb24();
    std::vector<Rect> runs;
    if (width <= 0 || height <= 0 || pixels.size() < static_cast<size_t>(width) * height * 3) return runs;
    const std::uint8_t m0 = mask & 0xFF, m1 = (mask >> 8) & 0xFF, m2 = (mask >> 16) & 0xFF;
    const bool maskIsAColour = mask <= 0xFFFFFF;  // a larger value matches no pixel
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = pixels.data() + static_cast<size_t>(y) * width * 3;
        auto isMask = [&](int x) {
            const std::uint8_t* p = row + static_cast<size_t>(x) * 3;
            return maskIsAColour && p[0] == m0 && p[1] == m1 && p[2] == m2;
        };
        int x = 0;
        for (;;) {
            while (x < width && isMask(x)) ++x;
            if (x == width) break;
            const int start = x;
            while (x < width && !isMask(x)) ++x;
            runs.push_back({start, y, x, y + 1});
        }
    }
    return runs;
}

void ShapeWindow(Context& ctx, Form& window, Color mask, const std::string& picturePath, bool nt) {
    const PicturePtr picture = ctx.os.toolkit.LoadPicture(picturePath);
    if (!picture) return;
    window.SetOutlineColor(mask);
    window.SetPicture(picture);
    window.SetOuterSize(static_cast<double>(picture->Width()) * ctx.os.toolkit.TwipsPerPixelX(),
                        static_cast<double>(picture->Height()) * ctx.os.toolkit.TwipsPerPixelY());
    // A key the system refuses leaves the window plain: the region then
    // gives it the same outline.
    if (!nt || !ctx.os.shaper.SetColorKey(window.Handle(), mask))
        ctx.os.shaper.SetRegion(window.Handle(), OpaqueRuns(*picture, mask));
    window.Refresh();
}

}  // namespace corvale
