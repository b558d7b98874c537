// Control properties: kept here, applied to the window or the form's paint.
#include "platform/win32/toolkit_control.h"

#include <algorithm>
#include <climits>

#include "platform/win32/frame_store.h"
#include "platform/win32/text.h"
#include "platform/win32/toolkit_font.h"
#include "platform/win32/toolkit_screen.h"

namespace corvale::win32 {

ControlKind KindOf(ControlArray array) {
    switch (array) {
        case ControlArray::txtBox: return ControlKind::TextBox;
        case ControlArray::txtInput: return ControlKind::InputBox;
        case ControlArray::imgBut: return ControlKind::PictureButton;
        case ControlArray::cmdFake: return ControlKind::CommandButton;
        case ControlArray::tmrAnim:
        case ControlArray::tmrMouse:
        case ControlArray::tmrExit:
        case ControlArray::tmrAudio: return ControlKind::Timer;
        default: return ControlKind::Image;
    }
}

ControlProps CopiedFromTemplate(const ControlProps& templ) {
    ControlProps made;
    made.left = templ.left;
    made.top = templ.top;
    made.width = templ.width;
    made.height = templ.height;
    made.enabled = templ.enabled;
    made.backColor = templ.backColor;
    made.foreColor = templ.foreColor;
    made.fontName = templ.fontName;
    made.fontSize = templ.fontSize;
    made.stretch = templ.stretch;
    made.picture = templ.picture;
    made.interval = templ.interval;
    made.visible = false;  // a new element waits to be placed before it shows
    return made;
}

namespace {

constexpr long long kFarthestDrawn = 1 << 24;

bool Within(int at, int start, int size) {
    return at >= start && static_cast<long long>(at) < static_cast<long long>(start) + size;
}

}  // namespace

void DeliverMouse(FormEvents& events, ControlRef source, MousePhase phase, const MouseEvent& e) {
    switch (phase) {
        case MousePhase::Down: events.OnMouseDown(source, e); break;
        case MousePhase::Move: events.OnMouseMove(source, e); break;
        case MousePhase::Up: events.OnMouseUp(source, e); break;
    }
}

Win32Control::Win32Control(ControlHost& host, ControlRef ref, bool designTime, ControlProps props)
    : host_(host),
      ref_(ref),
      kind_(KindOf(ref.array)),
      designTime_(designTime),
      props_(std::move(props)),
      z_(host.NextZ()) {
    if (!DecodesWhenDrawn(props_.picture)) drawable_ = Win32Picture::Drawable(props_.picture);
    if (Windowed()) {
        brush_.reset(CreateSolidBrush(ToColorRef(props_.backColor)));
        if (HasText()) font_ = MakeFont(props_.fontName, props_.fontSize, host_.Dpi());
        CreateChildWindow();
    }
    if (kind_ == ControlKind::Timer) {
        timerId_ = host_.NextTimerId();
        Rearm();
    }
    if (kind_ == ControlKind::Image && props_.visible) host_.InvalidateArea(Bounds());
}

Win32Control::~Win32Control() {
    if (kind_ == ControlKind::Timer && host_.FormWindow()) KillTimer(host_.FormWindow(), timerId_);
    if (kind_ == ControlKind::Image && props_.visible) host_.InvalidateArea(Bounds());
    if (window_) {
        // No message of the dying window may reach this object any more.
        UnhookWindowProc(window_.get());
        window_.reset();
    }
}

// A skin may place a control near 2^31 pixels: the far edge is worked out in
// 64 bits and held at the largest coordinate a RECT can take.
RECT Win32Control::Bounds() const {
    const int dpi = host_.Dpi();
    return RECT{ToDevice(props_.left, dpi), ToDevice(props_.top, dpi),
                ToDevice(static_cast<long long>(props_.left) + props_.width, dpi),
                ToDevice(static_cast<long long>(props_.top) + props_.height, dpi)};
}

bool Win32Control::Contains(int x, int y) const {
    return Within(x, props_.left, props_.width) && Within(y, props_.top, props_.height);
}

bool Win32Control::TakesMouse() const {
    return kind_ == ControlKind::Image && props_.visible && props_.enabled;
}

void Win32Control::ApplyBounds(const RECT& before) {
    if (window_) {
        // The system adds the size to the position in 32 bits: it gets the
        // rectangle cut at the largest coordinate.
        const RECT r = Bounds();
        SetWindowPos(window_.get(), nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    } else if (kind_ == ControlKind::Image && props_.visible) {
        host_.InvalidateArea(before);
        host_.InvalidateArea(Bounds());
    }
}

bool Win32Control::SetLeft(int value) {
    const RECT before = Bounds();
    props_.left = value;
    ApplyBounds(before);
    return true;
}

bool Win32Control::SetTop(int value) {
    const RECT before = Bounds();
    props_.top = value;
    ApplyBounds(before);
    return true;
}

bool Win32Control::SetWidth(int value) {
    if (value < 0) return false;
    const RECT before = Bounds();
    props_.width = value;
    ApplyBounds(before);
    return true;
}

bool Win32Control::SetHeight(int value) {
    if (value < 0) return false;
    const RECT before = Bounds();
    props_.height = value;
    ApplyBounds(before);
    return true;
}

void Win32Control::SetVisible(bool value) {
    if (!HasVisibility() || props_.visible == value) return;
    props_.visible = value;
    if (window_) ShowWindow(window_.get(), value ? SW_SHOWNA : SW_HIDE);
    else host_.InvalidateArea(Bounds());
}

void Win32Control::SetEnabled(bool value) {
    props_.enabled = value;
    if (window_) EnableWindow(window_.get(), value ? TRUE : FALSE);
    if (kind_ == ControlKind::Timer) Rearm();
}

bool Win32Control::SetBackColor(Color value) {
    if (kind_ == ControlKind::Image || kind_ == ControlKind::Timer || kind_ == ControlKind::CommandButton)
        return false;
    UniqueBrush brush(CreateSolidBrush(ToColorRef(value)));
    if (!brush) return false;
    props_.backColor = value;
    brush_ = std::move(brush);
    RepaintInColours();
    return true;
}

bool Win32Control::SetForeColor(Color value) {
    if (!HasText()) return false;
    props_.foreColor = value;
    RepaintInColours();
    return true;
}

void Win32Control::ApplyFont(UniqueFont font) {
    // The window lets go of the old font before it is deleted.
    if (window_) SendMessageW(window_.get(), WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    font_ = std::move(font);
}

bool Win32Control::SetFontName(const std::string& name) {
    if (!HasText() || !FontFaceInstalled(name)) return false;
    UniqueFont font = MakeFont(name, props_.fontSize, host_.Dpi());
    if (!font) return false;
    props_.fontName = name;
    ApplyFont(std::move(font));
    return true;
}

bool Win32Control::SetFontSize(double points) {
    if (!HasText()) return false;
    UniqueFont font = MakeFont(props_.fontName, points, host_.Dpi());
    if (!font) return false;
    props_.fontSize = points;
    ApplyFont(std::move(font));
    return true;
}

std::string Win32Control::Text() const {
    if (!HasText() || !window_) return props_.text;
    const int length = GetWindowTextLengthW(window_.get());
    std::wstring text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, L'\0');
    const int copied = GetWindowTextW(window_.get(), text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return Narrow(text);
}

bool Win32Control::SetText(const std::string& text) {
    if (!HasText()) return false;
    if (window_ && !SetWindowTextW(window_.get(), Widen(text).c_str())) return false;
    props_.text = text;
    return true;
}

bool Win32Control::SetPasswordChar(char mask) {
    // A multi-line edit ignores a password character.
    if (kind_ != ControlKind::InputBox) return false;
    props_.passwordChar = mask;
    if (window_) {
        SendMessageW(window_.get(), EM_SETPASSWORDCHAR, static_cast<unsigned char>(mask), 0);
        InvalidateRect(window_.get(), nullptr, TRUE);
    }
    return true;
}

bool Win32Control::SetStretch(bool value) {
    if (kind_ != ControlKind::Image) return false;
    props_.stretch = value;
    if (props_.visible) host_.InvalidateArea(Bounds());
    return true;
}

bool Win32Control::SetPicture(PicturePtr picture) {
    if (!HasPicture()) return false;
    // A frame kept compressed is decoded when it is painted, not held here.
    const bool decodesWhenDrawn = DecodesWhenDrawn(picture);
    auto drawable = decodesWhenDrawn ? nullptr : Win32Picture::Drawable(picture);
    if (picture && !drawable && !decodesWhenDrawn) return false;
    props_.picture = std::move(picture);
    drawable_ = std::move(drawable);
    if (window_) InvalidateRect(window_.get(), nullptr, FALSE);
    else if (props_.visible) host_.InvalidateArea(Bounds());
    return true;
}

bool Win32Control::SetInterval(int milliseconds) {
    if (kind_ != ControlKind::Timer || milliseconds < 0 || milliseconds > 65535) return false;
    props_.interval = milliseconds;
    Rearm();
    return true;
}

// Setting a timer again starts its count afresh; 0 or disabled never fires.
void Win32Control::Rearm() {
    const HWND form = host_.FormWindow();
    if (!form) return;
    KillTimer(form, timerId_);
    if (props_.enabled && props_.interval > 0)
        SetTimer(form, timerId_, static_cast<UINT>(props_.interval), nullptr);
}

void Win32Control::BringToFront() {
    if (window_) {
        SetWindowPos(window_.get(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    } else if (kind_ == ControlKind::Image) {
        z_ = host_.NextZ();
        if (props_.visible) host_.InvalidateArea(Bounds());
    }
}

// GDI adds a size to a position in 32 bits, and shifts the result by the
// viewport's origin: what it is given stays within 2^24 pixels of the
// window, which no screen tells apart from 2^31.
void Win32Control::PaintWindowless(HDC dc) const {
    if (kind_ != ControlKind::Image || !props_.visible) return;
    const auto drawable = drawable_ ? drawable_ : DrawableNow(props_.picture);
    if (!drawable) return;
    const auto held = [](long long at) {
        return static_cast<LONG>(std::clamp(at, -kFarthestDrawn, kFarthestDrawn));
    };
    const RECT r = Bounds();
    drawable->Draw(dc, RECT{held(r.left), held(r.top), held(r.right), held(r.bottom)}, props_.stretch,
                   host_.Dpi());
}

void Win32Control::Rescale() {
    if (!window_) return;
    const RECT r = Bounds();
    // A text box's scroll bar is as many device pixels wide as the density
    // makes it: the frame is measured again.
    SetWindowPos(window_.get(), nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    if (HasText())
        if (UniqueFont font = MakeFont(props_.fontName, props_.fontSize, host_.Dpi()))
            ApplyFont(std::move(font));
    RepaintInColours();
}

// The frame too: a text box's scroll bar is drawn there, in its colours.
void Win32Control::RepaintInColours() const {
    if (window_) RedrawWindow(window_.get(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
}

HBRUSH Win32Control::PrepareColors(HDC dc) const {
    SetTextColor(dc, ToColorRef(props_.foreColor));
    SetBkColor(dc, ToColorRef(props_.backColor));
    return brush_.get();
}

}  // namespace corvale::win32
