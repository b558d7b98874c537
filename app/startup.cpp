// Start-up rules: finding a running instance, placing the window, the
// layout skin's name and the background colour.
#include "app/startup.h"

#include <algorithm>

#include "base/values.h"

namespace corvale {

bool IsToolWindow(std::uint32_t exStyle) { return (exStyle & kToolWindowStyle) != 0; }

long long FindPreviousInstance(const std::vector<TopWindow>& windows, const std::string& caption) {
    long long found = -1;
    // The walk always runs to the end: when several windows match, the last
    // one wins.
    for (const TopWindow& w : windows) {
        const bool ownsTaskbarButton = w.visible && w.parent == 0 &&
                                       (w.owner == 0 || IsToolWindow(w.ownerExStyle)) &&
                                       !IsToolWindow(w.exStyle);
        if (ownsTaskbarButton && w.caption == caption) found = static_cast<long long>(w.handle);
    }
    return found;
}

TwipsRect WorkAreaTwips(const Rect& workArea, int tppx, int tppy) {
    return {static_cast<double>(workArea.left) * tppx, static_cast<double>(workArea.top) * tppy,
            static_cast<double>(workArea.Width()) * tppx, static_cast<double>(workArea.Height()) * tppy};
}

TwipsRect SavedPlacement(const ScreenSettings& screen, const TwipsRect& backdrop, int tppx, int tppy) {
    TwipsRect r;
    r.left = screen.left.value_or(backdrop.left / tppx) * tppx;
    r.top = screen.top.value_or(backdrop.top / tppy) * tppy;
    r.width = screen.right.value_or((r.left + backdrop.width) / tppx) * tppx - r.left;
    r.height = screen.bottom.value_or((r.top + backdrop.height) / tppy) * tppy - r.top;
    return r;
}

TwipsRect MainWindowPlacement(const Rect& workArea, int tppx, int tppy,
                              const std::optional<ScreenSettings>& saved) {
    const TwipsRect backdrop = WorkAreaTwips(workArea, tppx, tppy);
    return saved ? SavedPlacement(*saved, backdrop, tppx, tppy) : backdrop;
}

std::optional<Color> ParseBackGround(const std::string& value) {
    const size_t first = value.find(',');
    if (first == std::string::npos) return std::nullopt;
    const size_t second = value.find(',', first + 1);
    if (second == std::string::npos) return std::nullopt;
    auto component = [](std::string_view field) {
        return static_cast<int>(std::clamp<long long>(LeadingInteger(field), 0, 255));
    };
    const std::string_view text(value);
    const int red = component(text.substr(0, first));
    const int green = component(text.substr(first + 1, second - first - 1));
    const int blue = component(text.substr(second + 1));
    return Rgb(red, green, blue);
}

std::string WidthLayoutSkinName(const std::string& programId, int screenWidthPixels) {
    return programId + std::to_string(screenWidthPixels);
}

}  // namespace corvale
