// The rules of following the displays.
#include "app/display_change.h"

#include <algorithm>
#include <cmath>

namespace corvale {
namespace {

bool SameRect(const Rect& a, const Rect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// Edges towards the area's own, and a span no larger than the area.
void Fit(long& low, long& high, long areaLow, long areaHigh) {
    const long span = std::clamp(high - low, 0L, std::max(areaHigh - areaLow, 0L));
    low = std::clamp(low, areaLow, std::max(areaHigh - span, areaLow));
    high = low + span;
}

// Settings can hold any number: far beyond every screen is as good as there.
long Whole(double twips, int perPixel) {
    const double pixels = twips / std::max(perPixel, 1);
    return std::isfinite(pixels) ? std::lround(std::clamp(pixels, -1e7, 1e7)) : 0;
}

}  // namespace

DisplayFollow FollowDisplays(const FaceFit& built, const FaceFit& wanted, const Rect& windowNow) {
    const bool sameSize =
        built.window.Width() == wanted.window.Width() && built.window.Height() == wanted.window.Height();
    if (built.layoutSkin != wanted.layoutSkin || !sameSize) return DisplayFollow::Rebuild;
    return SameRect(windowNow, wanted.window) ? DisplayFollow::Stay : DisplayFollow::Move;
}

Rect OntoWorkArea(const Rect& window, const Rect& workArea) {
    Rect r = window;
    Fit(r.left, r.right, workArea.left, workArea.right);
    Fit(r.top, r.bottom, workArea.top, workArea.bottom);
    return r;
}

Rect PixelRect(const TwipsRect& r, int tppx, int tppy) {
    return Rect{Whole(r.left, tppx), Whole(r.top, tppy), Whole(r.left + r.width, tppx),
                Whole(r.top + r.height, tppy)};
}

}  // namespace corvale
