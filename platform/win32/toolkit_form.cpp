// The form's window, its geometry and its controls.
#include "platform/win32/toolkit_form.h"

#include <algorithm>
#include <utility>

#include "platform/form_design.h"
#include "platform/win32/foreground.h"
#include "platform/win32/text.h"
#include "platform/win32/toolkit_font.h"
#include "platform/win32/toolkit_screen.h"
#include "platform/win32/window_class.h"

namespace corvale::win32 {
namespace {

const wchar_t* FormClass(WNDPROC proc) {
    static const wchar_t* const name = RegisteredClass({L"CorvaleForm", proc, true, true});
    return name;
}

ControlProps Design(const DesignControl& design) {
    ControlProps props;
    props.left = design.left;
    props.top = design.top;
    props.width = design.width;
    props.height = design.height;
    props.visible = design.visible;
    props.stretch = design.stretch;
    props.interval = design.interval;
    props.enabled = design.enabled;
    props.backColor = design.backColor;
    return props;
}

}  // namespace

Win32Form::Win32Form(FormKind kind, FormEvents& events, HWND owner) : kind_(kind), events_(events) {
    // An owned form is made where its owner is, so that it starts on the
    // owner's monitor, and it takes the owner's density.
    RECT ownerRect{};
    const POINT at =
        owner && GetWindowRect(owner, &ownerRect) ? POINT{ownerRect.left, ownerRect.top} : POINT{};
    // WS_POPUP alone: no caption bar, no border, so the outer size is the
    // client size. The window is made hidden and shows on Show.
    if (const wchar_t* windowClass = FormClass(WindowProc)) {
        window_.reset(CreateWindowExW(0, windowClass, L"", WS_POPUP | WS_CLIPCHILDREN, at.x, at.y,
                                      kFormDesignWidth, kFormDesignHeight, owner, nullptr,
                                      GetModuleHandleW(nullptr), this));
    }
    dpi_ = owner ? DpiOf(owner) : WindowDpi(window_.get());
    if (kind_ == FormKind::Main) SetProgramDpi(dpi_);
    font_ = MakeFont(fontName_, fontSize_, dpi_);
    MoveToDevice(
        RECT{at.x, at.y, at.x + ToDevice(kFormDesignWidth, dpi_), at.y + ToDevice(kFormDesignHeight, dpi_)},
        SWP_NOZORDER | SWP_NOACTIVATE);
    AddDesignControls();
    if (kind_ == FormKind::Main && window_) sight_ = std::make_unique<SightWatch>(window_.get());
}

int Win32Form::DpiOf(HWND window) {
    if (window && reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC)) == &WindowProc)
        if (const auto* form = reinterpret_cast<const Win32Form*>(GetWindowLongPtrW(window, GWLP_USERDATA)))
            return form->dpi_;
    return WindowDpi(window);
}

namespace {

// The forms of the user-interface thread with invalidations still to hand over.
std::vector<Win32Form*>& FormsWithPendingPaint() {
    static std::vector<Win32Form*> forms;
    return forms;
}

void ForgetPendingPaint(Win32Form* form) {
    auto& forms = FormsWithPendingPaint();
    forms.erase(std::remove(forms.begin(), forms.end(), form), forms.end());
}

}  // namespace

Win32Form::~Win32Form() {
    if (window_) SetWindowLongPtrW(window_.get(), GWLP_USERDATA, 0);
    // Controls first, newest first, while the window they sit on exists.
    auto doomed = std::move(controls_);
    controls_.clear();
    byRef_.clear();
    byTimer_.clear();
    while (!doomed.empty()) doomed.pop_back();
    if (GetCapture() == window_.get() && window_) ReleaseCapture();
    sight_.reset();
    window_.reset();
    ForgetPendingPaint(this);  // the controls' last invalidations are moot
}

void Win32Form::AddDesignControls() {
    for (const DesignControl& design : FormDesign(kind_))
        for (int i = 0; i < design.count; ++i) Add(design.array, i, Design(design), true);
}

Win32Control& Win32Form::Add(ControlArray array, int index, ControlProps props, bool designTime) {
    ControlHost& host = *this;
    controls_.push_back(
        std::make_unique<Win32Control>(host, ControlRef{array, index}, designTime, std::move(props)));
    Win32Control& made = *controls_.back();
    byRef_[{array, index}] = &made;
    if (made.Kind() == ControlKind::Timer) byTimer_[made.TimerId()] = &made;
    return made;
}

Win32Control* Win32Form::Get(ControlArray array, int index) const {
    const auto it = byRef_.find({array, index});
    return it == byRef_.end() ? nullptr : it->second;
}

Win32Control* Win32Form::ByWindow(HWND window) const {
    if (!window) return nullptr;
    for (const auto& c : controls_)
        if (c->Window() == window) return c.get();
    return nullptr;
}

Win32Control* Win32Form::ByTimer(UINT_PTR id) const {
    const auto it = byTimer_.find(id);
    return it == byTimer_.end() ? nullptr : it->second;
}

Control* Win32Form::Create(ControlArray array, int index) {
    if (index <= 0 || Get(array, index)) return nullptr;
    const Win32Control* templ = Get(array, 0);
    if (!templ) return nullptr;
    return &Add(array, index, CopiedFromTemplate(templ->Props()), false);
}

Control* Win32Form::ControlAt(int position) {
    if (position < 0 || position >= ControlCount()) return nullptr;
    return controls_[static_cast<std::size_t>(position)].get();
}

bool Win32Form::Unload(Control& control) {
    const auto it =
        std::find_if(controls_.begin(), controls_.end(), [&](const auto& c) { return c.get() == &control; });
    if (it == controls_.end() || (*it)->DesignTime()) return false;
    // Out of the list first, then destroyed: a message sent while its
    // window goes must find the list whole.
    std::unique_ptr<Win32Control> doomed = std::move(*it);
    controls_.erase(it);
    byRef_.erase({doomed->Ref().array, doomed->Ref().index});
    if (doomed->Kind() == ControlKind::Timer) byTimer_.erase(doomed->TimerId());
    doomed.reset();
    return true;
}

void Win32Form::SetCaption(const std::string& caption) {
    caption_ = caption;
    if (window_) SetWindowTextW(window_.get(), Widen(caption).c_str());
}

void Win32Form::SetBackColor(Color color) {
    backColor_ = color;
    if (window_) InvalidateRect(window_.get(), nullptr, FALSE);
}

RECT Win32Form::OuterRect() const {
    RECT r = lastRect_;
    if (window_) GetWindowRect(window_.get(), &r);
    return r;
}

RECT Win32Form::OuterSkinRect() const {
    const RECT r = OuterRect();
    return RECT{ToSkin(r.left, dpi_), ToSkin(r.top, dpi_), ToSkin(r.right, dpi_), ToSkin(r.bottom, dpi_)};
}

// The program keeps its windows in twips of skin pixels, 15 to the pixel.
double Win32Form::Left() const { return static_cast<double>(OuterSkinRect().left) * kTwipsPerSkinPixel; }
double Win32Form::Top() const { return static_cast<double>(OuterSkinRect().top) * kTwipsPerSkinPixel; }
double Win32Form::Width() const {
    const RECT r = OuterSkinRect();
    return static_cast<double>(r.right - r.left) * kTwipsPerSkinPixel;
}
double Win32Form::Height() const {
    const RECT r = OuterSkinRect();
    return static_cast<double>(r.bottom - r.top) * kTwipsPerSkinPixel;
}

void Win32Form::MoveToDevice(const RECT& r, UINT flags) {
    lastRect_ = r;
    if (window_)
        SetWindowPos(window_.get(), nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, flags);
}

void Win32Form::Move(double left, double top, double width, double height) {
    const long long x = TwipsToPixels(left), y = TwipsToPixels(top);
    const long long w = std::max(0, TwipsToPixels(width)), h = std::max(0, TwipsToPixels(height));
    MoveToDevice(RECT{ToDevice(x, dpi_), ToDevice(y, dpi_), ToDevice(x + w, dpi_), ToDevice(y + h, dpi_)},
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Form::SetOuterSize(double width, double height) {
    const RECT r = OuterRect();
    const RECT skin = OuterSkinRect();
    const long long w = std::max(0, TwipsToPixels(width)), h = std::max(0, TwipsToPixels(height));
    MoveToDevice(RECT{r.left, r.top, r.left + ToDevice(skin.left + w, dpi_) - ToDevice(skin.left, dpi_),
                      r.top + ToDevice(skin.top + h, dpi_) - ToDevice(skin.top, dpi_)},
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int Win32Form::ScaleWidth() const {
    RECT client{};
    if (!window_ || !GetClientRect(window_.get(), &client)) return 0;
    return ToSkin(client.right, dpi_) - ToSkin(client.left, dpi_);
}

int Win32Form::ScaleHeight() const {
    RECT client{};
    if (!window_ || !GetClientRect(window_.get(), &client)) return 0;
    return ToSkin(client.bottom, dpi_) - ToSkin(client.top, dpi_);
}

bool Win32Form::SetFont(const std::string& name, double points) {
    if (!FontFaceInstalled(name)) return false;
    UniqueFont font = MakeFont(name, points, dpi_);
    if (!font) return false;
    font_ = std::move(font);
    fontName_ = name;
    fontSize_ = points;
    return true;
}

double Win32Form::TextWidth(const std::string& text) const {
    if (text.empty()) return 0;
    const UniqueWindowDC dc = GetWindowDCOf(window_.get());
    if (!dc) return 0;
    ScopedSelect select(dc.get().dc, font_.get());
    const std::wstring wide = Widen(text);
    SIZE size{};
    if (!GetTextExtentPoint32W(dc.get().dc, wide.c_str(), static_cast<int>(wide.size()), &size)) return 0;
    return static_cast<double>(size.cx) * 1440.0 / dpi_;  // the font is the device's; twips are the skin's
}

bool Win32Form::SetPicture(PicturePtr picture) {
    auto drawable = Win32Picture::Drawable(picture);
    if (picture && !drawable) return false;
    picture_ = std::move(picture);
    drawable_ = std::move(drawable);
    if (window_) InvalidateRect(window_.get(), nullptr, FALSE);
    return true;
}

void Win32Form::SetOutlineColor(Color mask) {
    // A value past 24 bits matches no pixel, and so leaves nothing out.
    if (mask <= 0xFFFFFF) outlineColor_ = static_cast<COLORREF>(mask);
    else outlineColor_.reset();
    if (window_) InvalidateRect(window_.get(), nullptr, FALSE);
}

void Win32Form::InvalidateArea(const RECT& area) {
    if (!window_ || area.right <= area.left || area.bottom <= area.top) return;
    if (!AddToPendingPaint(area)) InvalidateRect(window_.get(), &area, FALSE);  // no region to be had
}

bool Win32Form::AddToPendingPaint(const RECT& area) {
    UniqueRegion added(CreateRectRgnIndirect(&area));
    if (!added) return false;
    if (pendingPaint_)
        return CombineRgn(pendingPaint_.get(), pendingPaint_.get(), added.get(), RGN_OR) != ERROR;
    try {
        FormsWithPendingPaint().push_back(this);
    } catch (const std::bad_alloc&) {
        return false;
    }
    pendingPaint_ = std::move(added);
    return true;
}

void Win32Form::FlushPendingPaint() {
    if (!pendingPaint_) return;
    if (window_) InvalidateRgn(window_.get(), pendingPaint_.get(), FALSE);
    pendingPaint_.reset();
    ForgetPendingPaint(this);
}

void Win32Form::FlushPendingPaints() {
    // A copy: nothing here adds to the list, but each flush takes from it.
    const std::vector<Win32Form*> forms = FormsWithPendingPaint();
    for (Win32Form* form : forms) form->FlushPendingPaint();
}

void Win32Form::Refresh() {
    FlushPendingPaint();
    if (window_)
        RedrawWindow(window_.get(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

// On the monitor the window was made on: its owner's.
void Win32Form::CentreOnScreen() {
    if (!window_) return;
    const RECT r = OuterRect();
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (GetMonitorInfoW(MonitorFromWindow(window_.get(), MONITOR_DEFAULTTOPRIMARY), &monitor))
        screen = monitor.rcMonitor;
    const int x = screen.left + (screen.right - screen.left - (r.right - r.left)) / 2;
    const int y = screen.top + (screen.bottom - screen.top - (r.bottom - r.top)) / 2;
    MoveToDevice(RECT{x, y, x + r.right - r.left, y + r.bottom - r.top},
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Form::FocusInput() {
    if (const Win32Control* input = Get(ControlArray::txtInput, 0); input && input->Window())
        SetFocus(input->Window());
}

void Win32Form::Show() {
    if (!window_) return;
    if (kind_ == FormKind::Input) CentreOnScreen();
    if (kind_ == FormKind::Main) {
        AcceptRaiseRequests(window_.get());
        ShowAsStarted(window_.get());
    } else {
        // Activated, and its box given the keyboard, by ComeForward, which
        // knows what to do when Windows refuses.
        ShowWindow(window_.get(), SW_SHOWNA);
    }
    UpdateWindow(window_.get());
}

namespace {

struct OtherWindows {
    HWND self;
    std::vector<HWND> disabled;
};

BOOL CALLBACK DisableOther(HWND window, LPARAM context) {
    auto* others = reinterpret_cast<OtherWindows*>(context);
    if (window != others->self && IsWindowVisible(window) && IsWindowEnabled(window)) {
        EnableWindow(window, FALSE);
        others->disabled.push_back(window);
    }
    return TRUE;
}

}  // namespace

// The program's other windows take no input while this one is up; their
// timers and paints go on, since this loop dispatches every message.
bool Win32Form::ShowModal() {
    if (!window_ || modal_) return false;
    OtherWindows others{window_.get(), {}};
    EnumThreadWindows(GetCurrentThreadId(), DisableOther, reinterpret_cast<LPARAM>(&others));
    closeRequested_ = false;
    modal_ = true;
    Show();
    ComeForward();
    MSG msg{};
    while (!closeRequested_ && window_) {
        FlushPendingPaints();
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));  // the outer loop must see it too
            break;
        }
        if (got == -1) break;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    modal_ = false;
    StopWaitingForClick();
    // Enabled again before this window goes, so that activation returns to them.
    for (HWND window : others.disabled)
        if (IsWindow(window)) EnableWindow(window, TRUE);
    const bool closed = closeRequested_;
    if (closed) DestroyWindowNow();
    closeRequested_ = false;
    return closed;
}

void Win32Form::Close() {
    if (modal_) {
        closeRequested_ = true;
        if (window_) PostMessageW(window_.get(), WM_NULL, 0, 0);  // wakes the modal loop
        return;
    }
    DestroyWindowNow();
}

void Win32Form::DestroyWindowNow() {
    capturing_ = false;
    leftPressed_ = false;
    sight_.reset();
    window_.reset();  // children and timers go with it
}

}  // namespace corvale::win32
