// The child windows of controls and what their messages mean to the form's
// handlers.
#include "platform/win32/toolkit_control.h"

#include "platform/win32/text.h"
#include "platform/win32/toolkit_paint.h"
#include "platform/win32/toolkit_screen.h"
#include "platform/win32/window_class.h"

namespace corvale::win32 {
namespace {

// Every behaviour of a picture button lives in the control's own window
// procedure; the class itself only needs to exist.
const wchar_t* PictureButtonClass() {
    static const wchar_t* const name = RegisteredClass({L"CorvalePictureButton", DefWindowProcW, true});
    return name;
}

struct WindowDesign {
    const wchar_t* className;
    DWORD style;
    const wchar_t* caption;
};

WindowDesign DesignOf(ControlKind kind) {
    constexpr DWORD child = WS_CHILD | WS_CLIPSIBLINGS;
    switch (kind) {
        // No border on either text box: the skin gives each its own colours,
        // and a system-drawn frame would sit around the skinned face. For
        // the same reason the text box draws its scroll bar itself
        // (ThinScrollBar).
        case ControlKind::TextBox:
            return {L"EDIT", child | ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY | ES_LEFT, L""};
        case ControlKind::InputBox: return {L"EDIT", child | WS_TABSTOP | ES_AUTOHSCROLL | ES_LEFT, L""};
        case ControlKind::PictureButton: return {PictureButtonClass(), child, L""};
        case ControlKind::CommandButton: return {L"BUTTON", child | BS_PUSHBUTTON, L"Fake"};
        default: return {nullptr, 0, nullptr};
    }
}

}  // namespace

void Win32Control::CreateChildWindow() {
    const HWND parent = host_.FormWindow();
    const WindowDesign design = DesignOf(kind_);
    if (!parent || !design.className) return;
    const RECT r = Bounds();
    window_.reset(CreateWindowExW(0, design.className, design.caption, design.style, r.left, r.top,
                                  r.right - r.left, r.bottom - r.top, parent, nullptr,
                                  GetModuleHandleW(nullptr), nullptr));
    if (!window_) return;
    const HWND hwnd = window_.get();
    HookWindowProc(hwnd);
    if (HasText()) {
        SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
        SendMessageW(hwnd, EM_SETLIMITTEXT, 0, 0);  // the information panel runs past the default 30,000
        SetWindowTextW(hwnd, Widen(props_.text).c_str());
        if (props_.passwordChar)
            SendMessageW(hwnd, EM_SETPASSWORDCHAR, static_cast<unsigned char>(props_.passwordChar), 0);
    }
    if (!props_.enabled) EnableWindow(hwnd, FALSE);
    // Later controls stack above earlier ones, as the windowless ones do.
    SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (props_.visible) ShowWindow(hwnd, SW_SHOWNA);
}

// The control's procedure goes in front of the class's own, and the window
// names its control in its user data. (A common-controls subclass would
// keep both in a window property, which the system looks up on every
// message: on some systems one request to the window server each time.)
void Win32Control::HookWindowProc(HWND hwnd) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    baseProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Win32Control::WindowProc)));
}

void Win32Control::UnhookWindowProc(HWND hwnd) {
    if (!baseProc_) return;
    SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(baseProc_));
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
}

LRESULT Win32Control::CallBase(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) const {
    return CallWindowProcW(baseProc_, hwnd, message, wParam, lParam);
}

LRESULT CALLBACK Win32Control::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* control = reinterpret_cast<Win32Control*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!control) return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        // The window goes with its form: the control keeps its properties
        // but no longer owns a handle.
        const WNDPROC base = control->baseProc_;
        control->UnhookWindowProc(hwnd);
        (void)control->window_.release();
        return CallWindowProcW(base, hwnd, message, wParam, lParam);
    }
    switch (control->kind_) {
        case ControlKind::PictureButton: return control->ButtonMessage(hwnd, message, wParam, lParam);
        case ControlKind::InputBox: return control->InputMessage(hwnd, message, wParam, lParam);
        case ControlKind::TextBox:
            return control->scrollBar_.Message(hwnd, message, wParam, lParam, control->baseProc_,
                                               control->ScrollLook());
        default: return control->CallBase(hwnd, message, wParam, lParam);
    }
}

LRESULT Win32Control::ButtonMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND: return 1;  // the paint covers everything
        case WM_PAINT: PaintButton(hwnd); return 0;
        case WM_CAPTURECHANGED: leftPressed_ = false; return 0;
        default: break;
    }
    if (const auto mouse = ReadMouseMessage(message, wParam, lParam)) return ButtonMouse(hwnd, *mouse);
    return CallBase(hwnd, message, wParam, lParam);
}

// The button keeps the mouse from press to release, so a drag off it still
// reports to it and a release elsewhere is no click. The handlers run last:
// they may unload this very control.
LRESULT Win32Control::ButtonMouse(HWND hwnd, const MouseMessage& m) {
    bool click = false;
    if (m.phase == MousePhase::Down) {
        if (GetCapture() != hwnd) SetCapture(hwnd);
        if (m.button == kLeftButton) leftPressed_ = true;
    } else if (m.phase == MousePhase::Up) {
        RECT client{};
        GetClientRect(hwnd, &client);
        const POINT at{m.x, m.y};
        if (m.button == kLeftButton) {
            click = leftPressed_ && PtInRect(&client, at);
            leftPressed_ = false;
        }
        if (m.held == 0 && GetCapture() == hwnd) ReleaseCapture();
    }
    FormEvents& events = host_.Events();
    const ControlRef ref = ref_;
    const POINT at = SkinPointOf(m);
    const MouseEvent e = ToMouseEvent(m, at.x, at.y, 0, 0);
    DeliverMouse(events, ref, m.phase, e);
    if (click) events.OnClick(ref);
    return 0;
}

// The window's corner is the device pixel where the control's skin pixel
// begins; the point is counted from there in the form's skin pixels.
POINT Win32Control::SkinPointOf(const MouseMessage& m) const {
    const int dpi = host_.Dpi();
    const RECT r = Bounds();
    return POINT{ToSkin(static_cast<long long>(r.left) + m.x, dpi) - props_.left,
                 ToSkin(static_cast<long long>(r.top) + m.y, dpi) - props_.top};
}

void Win32Control::PaintButton(HWND hwnd) {
    PaintBuffered(hwnd, [&](HDC dc, const RECT& area) {
        FillRect(dc, &area, brush_.get());
        const RECT r = Bounds();
        if (drawable_)
            drawable_->Draw(dc, RECT{0, 0, r.right - r.left, r.bottom - r.top}, false, host_.Dpi());
    });
}

ScrollBarLook Win32Control::ScrollLook() const {
    return {ToColorRef(props_.foreColor), ToColorRef(props_.backColor), host_.Dpi()};
}

LRESULT Win32Control::InputMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    // Enter confirms through KeyUp; as a character it would only beep.
    if (message == WM_CHAR && (wParam == L'\r' || wParam == L'\n')) return 0;
    const LRESULT result = CallBase(hwnd, message, wParam, lParam);
    if (message == WM_PAINT) PaintCue(hwnd);
    FormEvents& events = host_.Events();
    const ControlRef ref = ref_;
    if (message == WM_KEYUP) {
        events.OnKeyUp(ref, KeyEvent{static_cast<int>(wParam), KeyboardShiftState()});
    } else if (const auto m = ReadMouseMessage(message, wParam, lParam)) {
        const POINT at = SkinPointOf(*m);
        DeliverMouse(events, ref, m->phase, ToMouseEvent(*m, at.x, at.y, 0, 0));
    }
    return result;
}

void Win32Control::SetCue(const std::wstring& cue) {
    if (cue == cue_) return;
    cue_ = cue;
    if (window_) InvalidateRect(window_.get(), nullptr, TRUE);
}

// Over the box's own paint: slanted, halfway between the box's colours, so
// it reads as a note and not as typing (which a password box masks anyway).
void Win32Control::PaintCue(HWND hwnd) const {
    if (cue_.empty() || GetWindowTextLengthW(hwnd) > 0) return;
    const UniqueWindowDC dc = GetWindowDCOf(hwnd);
    if (!dc) return;
    LOGFONTW look{};
    UniqueFont slanted;
    if (font_ && GetObjectW(font_.get(), sizeof look, &look)) {
        look.lfItalic = TRUE;
        slanted.reset(CreateFontIndirectW(&look));
    }
    const ScopedSelect select(dc.get().dc, slanted ? slanted.get() : font_.get());
    const COLORREF fore = ToColorRef(props_.foreColor), back = ToColorRef(props_.backColor);
    SetTextColor(dc.get().dc,
                 RGB((GetRValue(fore) + GetRValue(back)) / 2, (GetGValue(fore) + GetGValue(back)) / 2,
                     (GetBValue(fore) + GetBValue(back)) / 2));
    SetBkMode(dc.get().dc, TRANSPARENT);
    RECT area{};
    GetClientRect(hwnd, &area);
    area.left += LOWORD(SendMessageW(hwnd, EM_GETMARGINS, 0, 0));  // where typing would start
    DrawTextW(dc.get().dc, cue_.c_str(), -1, &area,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
}

}  // namespace corvale::win32
