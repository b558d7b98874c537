// The text box's own scroll bar: its strip beside the Edit's text, its
// picture, and the wheel, drag and track presses that scroll the Edit.
#include "platform/win32/toolkit_control_scroll.h"

#include <windowsx.h>

#include <algorithm>

#include "platform/win32/handles.h"
#include "platform/win32/toolkit_screen.h"

namespace corvale::win32 {
namespace {

// A press on the track pages again while it is held, as the system's bar
// does: after a pause, then briskly. The Edit's own timer (the one that
// scrolls a selection dragged past its edge) has id 0.
constexpr UINT_PTR kPageTimer = 0x5CB0;
constexpr UINT kFirstRepeat = 200;
constexpr UINT kRepeat = 50;

POINT PointOf(LPARAM lParam) { return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

// While the bar holds the mouse, moves come in client coordinates.
POINT ScreenPointOf(HWND hwnd, LPARAM lParam) {
    POINT p = PointOf(lParam);
    ClientToScreen(hwnd, &p);
    return p;
}

// Messages that ask, paint or hit-test, or come in the middle of a change
// of frame: none of them moves the text.
bool MovesNothing(UINT message) {
    switch (message) {
        case WM_NCHITTEST:
        case WM_SETCURSOR:
        case WM_NCPAINT:
        case WM_PAINT:
        case WM_ERASEBKGND:
        case WM_NCCALCSIZE:
        case WM_GETTEXT:
        case WM_GETTEXTLENGTH:
        case WM_DESTROY: return true;
        default: return false;
    }
}

}  // namespace

LRESULT ThinScrollBar::Message(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, WNDPROC base,
                               const ScrollBarLook& look) {
    base_ = base;
    look_ = look;
    switch (message) {
        case WM_NCCALCSIZE: {
            const LRESULT result = Base(hwnd, message, wParam, lParam);
            // Either form of the message begins with the client rectangle.
            if (shown_) {
                RECT& client = *reinterpret_cast<RECT*>(lParam);
                client.right = std::max(client.left, client.right - Width());
            }
            return result;
        }
        case WM_NCPAINT:
            Base(hwnd, message, wParam, lParam);
            Paint(hwnd);
            return 0;
        case WM_NCHITTEST:
            if (OnBar(hwnd, PointOf(lParam))) return HTVSCROLL;
            break;
        case WM_NCLBUTTONDOWN:
        case WM_NCLBUTTONDBLCLK:
            // Passed on, it would start the system's tracking of a bar it
            // does not have.
            if (wParam == HTVSCROLL) {
                PressAt(hwnd, PointOf(lParam));
                return 0;
            }
            break;
        case WM_MOUSEMOVE:
            if (press_ == Press::Thumb) DragTo(hwnd, ScreenPointOf(hwnd, lParam));
            if (press_ != Press::None) return 0;
            break;
        case WM_LBUTTONUP:
            if (press_ != Press::None) {
                ReleaseCapture();  // WM_CAPTURECHANGED ends the press
                return 0;
            }
            break;
        case WM_CAPTURECHANGED:
            if (press_ != Press::None) EndPress(hwnd);
            break;
        case WM_TIMER:
            if (wParam == kPageTimer) {
                PageAgain(hwnd);
                return 0;
            }
            break;
        case WM_MOUSEWHEEL:
            // With shift or ctrl held the wheel means something else to the
            // Edit's parent, as it does to the system's bar.
            if (shown_ && !(GET_KEYSTATE_WPARAM(wParam) & (MK_SHIFT | MK_CONTROL))) {
                Wheel(hwnd, GET_WHEEL_DELTA_WPARAM(wParam));
                return 0;
            }
            break;
        case WM_CONTEXTMENU:
            if (OnBar(hwnd, PointOf(lParam))) return 0;  // the Edit's menu is the text's
            break;
        case WM_SETFONT: lineHeight_ = 0; break;
        default: break;
    }
    const LRESULT result = Base(hwnd, message, wParam, lParam);
    if (!MovesNothing(message)) Follow(hwnd);
    return result;
}

LRESULT ThinScrollBar::Base(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) const {
    return CallWindowProcW(base_, hwnd, message, wParam, lParam);
}

// Reads where the Edit's text is now: the strip comes or goes when the text
// stops or starts fitting, and the bar is drawn again when anything moved.
// The strip's coming narrows the text, which can only add lines, and its
// going widens it, which can only take lines away: one change is enough.
void ThinScrollBar::Follow(HWND hwnd) {
    if (following_) return;
    following_ = true;
    ScrollView view = ReadView(hwnd);
    bool changed = view != view_;
    if (view.NeedsBar() != shown_) {
        shown_ = !shown_;
        SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        view = ReadView(hwnd);
        changed = true;
    }
    view_ = view;
    following_ = false;
    if (changed) Paint(hwnd);
}

// The Edit's lines lie a font's height apart, and it shows as many whole
// ones as its formatting rectangle holds (at least one).
ScrollView ThinScrollBar::ReadView(HWND hwnd) {
    if (lineHeight_ <= 0) {
        const UniqueWindowDC dc = GetWindowDCOf(hwnd);
        const auto font = reinterpret_cast<HFONT>(Base(hwnd, WM_GETFONT, 0, 0));
        TEXTMETRICW metrics{};
        if (dc) {
            const ScopedSelect select(dc.get().dc, font);
            if (GetTextMetricsW(dc.get().dc, &metrics)) lineHeight_ = metrics.tmHeight;
        }
    }
    RECT format{};
    Base(hwnd, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    ScrollView v;
    v.lines = static_cast<int>(Base(hwnd, EM_GETLINECOUNT, 0, 0));
    v.first = static_cast<int>(Base(hwnd, EM_GETFIRSTVISIBLELINE, 0, 0));
    v.visible = std::max(1, static_cast<int>(format.bottom - format.top) / std::max(lineHeight_, 1));
    return v;
}

// The track in the background with a little of the text colour, the thumb
// in the text colour: three rectangles that do not overlap, so no pixel is
// drawn twice and nothing flickers.
void ThinScrollBar::Paint(HWND hwnd) const {
    if (!shown_) return;
    RECT window{};
    GetWindowRect(hwnd, &window);
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    const UniqueWindowDC dc = GetFrameDCOf(hwnd);
    const UniqueBrush track(CreateSolidBrush(ScrollTrackColor(look_.background, look_.text)));
    const UniqueBrush thumb(CreateSolidBrush(look_.text));
    if (!dc || !track || !thumb) return;
    const TrackSpan on = ThumbOf(view_, height, Shortest());
    const int left = std::max(0, width - Width());
    const RECT before{left, 0, width, on.start};
    const RECT over{left, on.start, width, on.start + on.length};
    const RECT after{left, on.start + on.length, width, height};
    FillRect(dc.get().dc, &before, track.get());
    FillRect(dc.get().dc, &over, thumb.get());
    FillRect(dc.get().dc, &after, track.get());
}

int ThinScrollBar::Width() const { return ToDevice(kScrollBarWidth, look_.dpi); }
int ThinScrollBar::Shortest() const { return ToDevice(kScrollThumbShortest, look_.dpi); }

int ThinScrollBar::Track(HWND hwnd) const {
    RECT window{};
    GetWindowRect(hwnd, &window);
    return window.bottom - window.top;
}

int ThinScrollBar::FromTop(HWND hwnd, POINT screen) const {
    RECT window{};
    GetWindowRect(hwnd, &window);
    return screen.y - window.top;
}

bool ThinScrollBar::OnBar(HWND hwnd, POINT screen) const {
    RECT window{};
    if (!shown_ || !GetWindowRect(hwnd, &window)) return false;
    return PtInRect(&window, screen) && screen.x >= window.right - Width();
}

// The thumb is taken where it was pressed, and follows the mouse from
// there; the track before or after it pages up or down.
void ThinScrollBar::PressAt(HWND hwnd, POINT screen) {
    const int at = FromTop(hwnd, screen);
    SetCapture(hwnd);
    switch (TrackPartAt(view_, Track(hwnd), Shortest(), at)) {
        case TrackPart::Thumb:
            press_ = Press::Thumb;
            grab_ = at - ThumbOf(view_, Track(hwnd), Shortest()).start;
            return;
        case TrackPart::Before: press_ = Press::PageUp; break;
        case TrackPart::After: press_ = Press::PageDown; break;
    }
    Page(hwnd);
    SetTimer(hwnd, kPageTimer, kFirstRepeat, nullptr);
}

void ThinScrollBar::DragTo(HWND hwnd, POINT screen) {
    const int first = FirstLineAt(view_, Track(hwnd), Shortest(), FromTop(hwnd, screen) - grab_);
    if (first != view_.first) Base(hwnd, EM_LINESCROLL, 0, first - view_.first);
    Follow(hwnd);
}

// A held press pages on while the mouse stays on the track on its side of
// the thumb: it stops where the thumb reaches the mouse.
void ThinScrollBar::PageAgain(HWND hwnd) {
    if (press_ != Press::PageUp && press_ != Press::PageDown) {
        KillTimer(hwnd, kPageTimer);
        return;
    }
    SetTimer(hwnd, kPageTimer, kRepeat, nullptr);
    POINT cursor{};
    if (!GetCursorPos(&cursor) || !OnBar(hwnd, cursor)) return;
    const TrackPart part = TrackPartAt(view_, Track(hwnd), Shortest(), FromTop(hwnd, cursor));
    if (part == (press_ == Press::PageUp ? TrackPart::Before : TrackPart::After)) Page(hwnd);
}

// The Edit's own page: the lines it shows.
void ThinScrollBar::Page(HWND hwnd) {
    Base(hwnd, EM_SCROLL, press_ == Press::PageUp ? SB_PAGEUP : SB_PAGEDOWN, 0);
    Follow(hwnd);
}

void ThinScrollBar::EndPress(HWND hwnd) {
    KillTimer(hwnd, kPageTimer);
    press_ = Press::None;
}

// The lines a notch scrolls are the user's setting, or a page where the
// user chose pages; never more than the text has.
void ThinScrollBar::Wheel(HWND hwnd, int delta) {
    UINT perNotch = 3;
    SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &perNotch, 0);
    const int lines = perNotch == WHEEL_PAGESCROLL
                          ? view_.visible
                          : static_cast<int>(std::min<UINT>(perNotch, static_cast<UINT>(view_.lines)));
    if (const int by = wheel_.Turn(delta, lines)) Base(hwnd, EM_LINESCROLL, 0, by);
    Follow(hwnd);
}

}  // namespace corvale::win32
