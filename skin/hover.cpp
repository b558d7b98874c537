// Button hover: the cursor test and the change of pictures and sound.
#include "skin/hover.h"

#include <cstddef>
#include <cstdint>

#include "base/values.h"
#include "skin/sound.h"

namespace corvale {
namespace {

constexpr Color kHovered = 0;
constexpr Color kNormal = 0xFFFFFF;

// Where the last `count` characters of UTF-8 text start, or npos when it has
// fewer.
std::size_t StartOfLastCharacters(const std::string& text, int count) {
    std::size_t at = text.size();
    while (count > 0) {
        if (at == 0) return std::string::npos;
        --at;
        // Continuation bytes belong to the character that starts before them.
        if ((static_cast<unsigned char>(text[at]) & 0xC0) != 0x80) --count;
    }
    return at;
}

long Divided(double twips, int twipsPerPixel) {
    const long long whole = RoundHalfEven(twips);
    return twipsPerPixel == 0 ? 0 : static_cast<long>(whole / twipsPerPixel);
}

}  // namespace

std::string HoverPicturePath(const std::string& picture) {
    const std::size_t extension = StartOfLastCharacters(picture, 4);
    if (extension == std::string::npos) return "";
    return picture.substr(0, extension) + "a" + picture.substr(extension);
}

void TrackCursor(Context& ctx, const Form& form) {
    Toolkit& tk = ctx.os.toolkit;
    const Point pt = tk.CursorPos();
    ctx.g.CursorX = pt.x - Divided(form.Left(), tk.TwipsPerPixelX());
    ctx.g.CursorY = pt.y - Divided(form.Top(), tk.TwipsPerPixelY());
    ctx.g.HoverHwnd = tk.WindowFromPoint(pt);
}

void UpdateButtonHover(Context& ctx, Form& form, const SkinLists& lists) {
    TrackCursor(ctx, form);
    // 64 bits: a button placed near 2^31 would take Left + Width past the
    // end of a 32-bit long, which is what long is on Windows.
    const std::int64_t x = ctx.g.CursorX;
    const std::int64_t y = ctx.g.CursorY;
    for (long i = 1; i <= lists.ButtonCount; ++i) {
        Control* button = form.Find(ControlArray::imgBut, static_cast<int>(i));
        if (!button) continue;
        const std::int64_t left = button->Left();
        const std::int64_t top = button->Top();
        const std::int64_t right = left + button->Width();
        const std::int64_t bottom = top + button->Height();
        const auto at = static_cast<std::size_t>(i);
        const std::string picture = at < lists.ButtonPicture.size() ? lists.ButtonPicture[at] : "";
        const bool inside =
            left < x && x < right && top < y && y < bottom && ctx.g.HoverHwnd == button->Handle();
        const bool outside = x < left || x > right || y < top || y > bottom;
        if (inside && button->BackColor() != kHovered) {
            if (at < lists.ButtonHoverSound.size()) PlaySkinSound(ctx, lists.ButtonHoverSound[at]);
            button->SetBackColor(kHovered);
            // Without a hover picture the button goes on showing its normal one.
            const std::string hoverPath = HoverPicturePath(picture);
            if (PicturePtr hover = hoverPath.empty() ? nullptr : ctx.os.toolkit.LoadPicture(hoverPath))
                button->SetPicture(std::move(hover));
        } else if (!inside && outside && button->BackColor() == kHovered) {
            button->SetBackColor(kNormal);
            // Without its normal picture the button shows none rather than
            // go on looking hovered.
            button->SetPicture(picture.empty() ? nullptr : ctx.os.toolkit.LoadPicture(picture));
        }
    }
}

}  // namespace corvale
