// The form's window procedure: each message goes to one small handler, and
// the core's handlers are always the last thing a handler calls, since they
// may unload controls or close the form.
#include <algorithm>

#include "platform/win32/foreground.h"
#include "platform/win32/toolkit_font.h"
#include "platform/win32/toolkit_form.h"
#include "platform/win32/toolkit_paint.h"
#include "platform/win32/toolkit_screen.h"

namespace corvale::win32 {
namespace {

// Of the windowless controls, only the mute switches report clicks.
bool ReportsClick(ControlRef ref) { return ref.array == ControlArray::imgMute; }

}  // namespace

LRESULT CALLBACK Win32Form::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* form = reinterpret_cast<Win32Form*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!form) return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        (void)form->window_.release();
        form->capturing_ = false;
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    // The handler may close the form: the flush goes through the list,
    // which a form leaves when it goes.
    const LRESULT result = form->HandleMessage(hwnd, message, wParam, lParam);
    FlushPendingPaints();
    return result;
}

LRESULT Win32Form::HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (kind_ == FormKind::Main && IsRaiseRequest(message)) {
        RaiseOnRequest(hwnd);
        return 0;
    }
    switch (message) {
        case WM_ERASEBKGND: return 1;  // the paint covers everything
        case WM_PAINT: OnPaint(hwnd); return 0;
        case WM_TIMER: OnTimerMessage(wParam); return 0;
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC: return OnControlColor(hwnd, message, wParam, lParam);
        case WM_CAPTURECHANGED: capturing_ = false; return 0;
        case WM_CLOSE: OnCloseRequest(); return 0;
        case WM_DPICHANGED: OnDpiChanged(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam)); return 0;
        case WM_DISPLAYCHANGE: OnDisplayChange(); return 0;
        case WM_SETTINGCHANGE: OnSettingChange(wParam); return 0;
        case WM_QUERYENDSESSION: return TRUE;
        case WM_ENDSESSION:
            if (wParam) events_.OnSessionEnd();
            return 0;
        case WM_ACTIVATE: {
            const LRESULT result = DefWindowProcW(hwnd, message, wParam, lParam);
            if (LOWORD(wParam) != WA_INACTIVE) OnActivated();
            if (LOWORD(wParam) != WA_INACTIVE && sight_) sight_->LookSoon();  // raised over others, likely
            return result;
        }
        case WM_ACTIVATEAPP:
            if (wParam) OnActivated();
            break;
        case WM_SIZE: TellSight(); return 0;  // minimised or restored
        case WM_WTSSESSION_CHANGE: OnSessionChange(wParam); return 0;
        case WM_POWERBROADCAST: return OnPowerBroadcast(hwnd, wParam, lParam);
        default: break;
    }
    if (const auto mouse = ReadMouseMessage(message, wParam, lParam)) {
        OnMouse(*mouse);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

// Background colour, background picture, then the windowless pictures from
// the back to the front. Child windows draw themselves above all of it.
void Win32Form::OnPaint(HWND hwnd) {
    std::vector<const Win32Control*> pictures;
    for (const auto& c : controls_)
        if (c->Kind() == ControlKind::Image && c->Props().visible) pictures.push_back(c.get());
    std::stable_sort(pictures.begin(), pictures.end(), [](auto* a, auto* b) { return a->Z() < b->Z(); });
    PaintBuffered(hwnd, [&](HDC dc, const RECT& area) {
        const UniqueBrush background(CreateSolidBrush(ToColorRef(backColor_)));
        FillRect(dc, &area, background.get());
        if (drawable_)
            drawable_->Draw(
                dc, RECT{0, 0, ToDevice(drawable_->Width(), dpi_), ToDevice(drawable_->Height(), dpi_)},
                false, dpi_, outlineColor_);
        for (const Win32Control* picture : pictures) {
            RECT overlap{};
            const RECT bounds = picture->Bounds();
            if (IntersectRect(&overlap, &bounds, &area)) picture->PaintWindowless(dc);
        }
    });
}

ControlRef Win32Form::HitTest(int x, int y) const {
    const Win32Control* hit = nullptr;
    for (const auto& c : controls_)
        if (c->TakesMouse() && c->Contains(x, y) && (!hit || c->Z() > hit->Z())) hit = c.get();
    return hit ? hit->Ref() : ControlRef{ControlArray::Form, 0};
}

POINT Win32Form::OriginOf(ControlRef ref) const {
    if (const Win32Control* c = Get(ref.array, ref.index); c && ref.array != ControlArray::Form)
        return POINT{c->Left(), c->Top()};
    return POINT{0, 0};
}

// A press takes the mouse for its target (the windowless picture under it,
// or the form) until the last button is up: a slider dragged past its ends
// keeps hearing about the pointer.
void Win32Form::OnMouse(const MouseMessage& m) {
    const HWND hwnd = window_.get();
    const int x = ToSkin(m.x, dpi_), y = ToSkin(m.y, dpi_);
    ControlRef target;
    if (m.phase == MousePhase::Down && !capturing_) {
        target = HitTest(x, y);
        capturing_ = true;
        captureTarget_ = target;
        SetCapture(hwnd);
    } else if (capturing_) {
        target = captureTarget_;
        if (target.array != ControlArray::Form && !Get(target.array, target.index)) target = ControlRef{};
    } else {
        target = HitTest(x, y);
    }

    bool click = false;
    if (m.phase == MousePhase::Down && m.button == kLeftButton) {
        leftPressed_ = true;
        leftPressTarget_ = target;
    } else if (m.phase == MousePhase::Up) {
        if (m.button == kLeftButton) {
            const Win32Control* c = Get(target.array, target.index);
            click =
                leftPressed_ && leftPressTarget_ == target && ReportsClick(target) && c && c->Contains(x, y);
            leftPressed_ = false;
        }
        if (m.held == 0 && capturing_) {
            capturing_ = false;
            if (GetCapture() == hwnd) ReleaseCapture();
        }
    }

    const POINT origin = OriginOf(target);
    const MouseEvent e = ToMouseEvent(m, x, y, origin.x, origin.y);
    FormEvents& events = events_;
    DeliverMouse(events, target, m.phase, e);
    if (click) events.OnClick(target);
}

void Win32Form::OnTimerMessage(UINT_PTR id) {
    if (id == SightWatch::kLookTimer) return OnSightLook();
    const Win32Control* timer = ByTimer(id);
    if (!timer) {
        if (window_) KillTimer(window_.get(), id);  // left over from an unloaded timer
        return;
    }
    if (!timer->Props().enabled || timer->Props().interval <= 0) return;
    events_.OnTimer(timer->Ref());
}

LRESULT Win32Form::OnControlColor(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (const Win32Control* c = ByWindow(reinterpret_cast<HWND>(lParam));
        c && c->Kind() != ControlKind::CommandButton)
        return reinterpret_cast<LRESULT>(c->PrepareColors(reinterpret_cast<HDC>(wParam)));
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

// A new density (the user changed the scale, or the window went to a
// monitor of another): every control, font and picture follows in place,
// the skin's layout stays as it was built, and the window takes the
// rectangle the system suggests.
void Win32Form::OnDpiChanged(int dpi, const RECT& suggested) {
    if (dpi <= 0) return;
    dpi_ = dpi;
    if (kind_ == FormKind::Main) SetProgramDpi(dpi);
    if (UniqueFont font = MakeFont(fontName_, fontSize_, dpi_)) font_ = std::move(font);
    for (const auto& c : controls_) c->Rescale();
    MoveToDevice(suggested, SWP_NOZORDER | SWP_NOACTIVATE);
    if (window_) InvalidateRect(window_.get(), nullptr, FALSE);
}

// Broadcast to every top-level window by a sender that waits for each: the
// sender is let go first, since a face built anew takes seconds.
void Win32Form::OnDisplayChange() {
    ReplyMessage(0);
    events_.OnDisplayChange();
}

// The taskbar moved, grew or hid, or an application docked a bar.
void Win32Form::OnSettingChange(WPARAM what) {
    if (what != SPI_SETWORKAREA) return;
    ReplyMessage(0);
    events_.OnDisplayChange();
}

// The system's own close command (Alt+F4, the task list, another program):
// the prompt closes as if left without an answer; the main window leaves
// the decision to the core.
void Win32Form::OnCloseRequest() {
    if (kind_ == FormKind::Input) {
        Close();
        return;
    }
    events_.OnCloseRequest();
}

}  // namespace corvale::win32
