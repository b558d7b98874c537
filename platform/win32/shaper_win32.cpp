// Giving a window the outline of its picture: a colour key or a region.
#include "platform/win32/shaper_win32.h"

#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <utility>
#include <vector>

#include "platform/win32/handles.h"
#include "platform/win32/toolkit_form.h"
#include "platform/win32/toolkit_screen.h"

namespace corvale::win32 {

namespace {

HWND ToHwnd(WindowHandle handle) { return reinterpret_cast<HWND>(handle); }

LONG_PTR ExStyle(HWND window) { return GetWindowLongPtrW(window, GWL_EXSTYLE); }

// Rectangles per ExtCreateRegion call. Small pieces, merged pairwise: some
// systems (Wine among them) add the rectangles of one call to the region
// one by one, each at the cost of the whole region so far, and Windows 9x
// refuses large region data; a union per rectangle would cost the whole
// region every time.
constexpr std::size_t kRectanglesPerPiece = 32;

// One region from a few rectangles in a single call.
UniqueRegion RegionOf(const Rect* first, std::size_t count) {
    std::vector<std::byte> data(sizeof(RGNDATAHEADER) + count * sizeof(RECT));
    auto* header = reinterpret_cast<RGNDATAHEADER*>(data.data());
    header->dwSize = sizeof(RGNDATAHEADER);
    header->iType = RDH_RECTANGLES;
    header->nCount = static_cast<DWORD>(count);
    header->nRgnSize = static_cast<DWORD>(count * sizeof(RECT));
    RECT bounds{0, 0, 0, 0};
    auto* rects = reinterpret_cast<RECT*>(data.data() + sizeof(RGNDATAHEADER));
    for (std::size_t i = 0; i < count; ++i) {
        const Rect& r = first[i];
        rects[i] = RECT{static_cast<LONG>(r.left), static_cast<LONG>(r.top), static_cast<LONG>(r.right),
                        static_cast<LONG>(r.bottom)};
        UnionRect(&bounds, &bounds, &rects[i]);
    }
    header->rcBound = bounds;
    return UniqueRegion(ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()),
                                        reinterpret_cast<const RGNDATA*>(data.data())));
}

}  // namespace

bool Win32Shaper::SetColorKey(WindowHandle window, Color key) {
    const HWND target = ToHwnd(window);
    // SetWindowLongPtr's answer tells nothing here: the old style may be 0,
    // and Wine 10 leaves last error 1400 behind a change that took. The
    // style read back does tell.
    SetWindowLongPtrW(target, GWL_EXSTYLE, ExStyle(target) | WS_EX_LAYERED);
    if ((ExStyle(target) & WS_EX_LAYERED) == 0) return false;
    // The program's colours and COLORREF share one layout: red in the low byte.
    if (SetLayeredWindowAttributes(target, static_cast<COLORREF>(key & 0xFFFFFF), 0, LWA_COLORKEY))
        return true;
    // A layered window without attributes is never drawn and lets clicks
    // through, yet still takes the keys: back to a plain window, which the
    // caller can shape another way.
    SetWindowLongPtrW(target, GWL_EXSTYLE, ExStyle(target) & ~WS_EX_LAYERED);
    return false;
}

UniqueRegion RegionFromRectangles(const std::vector<Rect>& rectangles) {
    std::vector<UniqueRegion> pieces;
    for (std::size_t done = 0; done < rectangles.size(); done += kRectanglesPerPiece) {
        const std::size_t count = std::min(kRectanglesPerPiece, rectangles.size() - done);
        pieces.push_back(RegionOf(rectangles.data() + done, count));
        if (!pieces.back()) return {};
    }
    // Neighbours merged in rounds, so each rectangle takes part in only a
    // few unions.
    while (pieces.size() > 1) {
        std::vector<UniqueRegion> merged;
        for (std::size_t i = 0; i < pieces.size(); i += 2) {
            if (i + 1 < pieces.size() &&
                CombineRgn(pieces[i].get(), pieces[i].get(), pieces[i + 1].get(), RGN_OR) == ERROR)
                return {};
            merged.push_back(std::move(pieces[i]));
        }
        pieces = std::move(merged);
    }
    return pieces.empty() ? UniqueRegion(CreateRectRgn(0, 0, 0, 0)) : std::move(pieces.front());
}

// The rectangles come in skin pixels; the region takes the window's device
// pixels, edge by edge as the window's picture is scaled, so the outline
// and the picture meet.
bool Win32Shaper::SetRegion(WindowHandle window, const std::vector<Rect>& rectangles) {
    const int dpi = Win32Form::DpiOf(ToHwnd(window));
    std::vector<Rect> device;
    device.reserve(rectangles.size());
    for (const Rect& r : rectangles)
        device.push_back(Rect{ToDevice(r.left, dpi), ToDevice(r.top, dpi), ToDevice(r.right, dpi),
                              ToDevice(r.bottom, dpi)});
    UniqueRegion region = RegionFromRectangles(device);
    if (!region) return false;
    if (!SetWindowRgn(ToHwnd(window), region.get(), TRUE)) return false;
    // The window owns the region now and frees it with itself.
    static_cast<void>(region.release());
    return true;
}

}  // namespace corvale::win32
