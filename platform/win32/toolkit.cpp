// Runtime services of the Win32 toolkit.
#include "platform/win32/toolkit.h"

#include <windows.h>

#include <chrono>
#include <optional>

#include "image/picture_variants.h"

#include "platform/win32/picture.h"
#include "platform/win32/text.h"
#include "platform/win32/toolkit_form.h"
#include "platform/win32/toolkit_screen.h"

namespace corvale::win32 {

std::unique_ptr<Form> Win32Toolkit::CreateOwnedForm(FormKind kind, FormEvents& events, WindowHandle owner) {
    return std::make_unique<Win32Form>(kind, events, reinterpret_cast<HWND>(owner));
}

namespace {

std::optional<PictureSize> SizeOf(const PicturePtr& picture) {
    if (!picture) return std::nullopt;
    return PictureSize{picture->Width(), picture->Height()};
}

}  // namespace

// At 96 dpi no variant is looked for: the plain picture is drawn as it is.
PicturePtr Win32Toolkit::LoadPicture(const std::string& path) {
    PicturePtr plain = decoder_.FromFile(path);
    const int dpi = ProgramDpi();
    if (!plain || VariantDensitiesFor(dpi).empty()) return plain;
    PicturePtr dense;
    const PictureVariant chosen = ChooseVariant(path, *SizeOf(plain), dpi, [&](const std::string& variant) {
        dense = decoder_.FromFile(variant);
        return SizeOf(dense);
    });
    if (chosen.density == 1) return plain;
    auto shown =
        Win32Picture::WithDensity(std::dynamic_pointer_cast<const Win32Picture>(dense), chosen.density);
    return shown ? shown : plain;
}

PicturePtr Win32Toolkit::LoadPictureFromBytes(std::span<const std::uint8_t> bytes) {
    return frames_.Load(bytes);
}

PicturePtr Win32Toolkit::LoadDensePictureFromBytes(std::span<const std::uint8_t> bytes, int density) {
    return frames_.Load(bytes, density);
}

PictureFile Win32Toolkit::ChoosePictureFile(const std::string& path) {
    const int dpi = ProgramDpi();
    if (VariantDensitiesFor(dpi).empty()) return {path, 1};
    const auto plain = SizeOf(decoder_.FromFile(path));
    if (!plain) return {path, 1};
    const PictureVariant chosen = ChooseVariant(
        path, *plain, dpi, [&](const std::string& variant) { return SizeOf(decoder_.FromFile(variant)); });
    return {chosen.path, chosen.density};
}

namespace {

// One call of DoEvents handles at most this much. Timers whose handling takes
// as long as their interval (animation frames of 10 ms) keep the queue from
// ever running dry; the build, the frame cutting and the teardown, which let
// events run after every step, must still get on.
constexpr auto kEventsSlice = std::chrono::milliseconds(10);
constexpr int kEventsMaxMessages = 500;

}  // namespace

// What is waiting, paints and due timers included, until the queue is empty
// or the slice is used up. A quit message is left for the loop that owns it.
void Win32Toolkit::DoEvents() {
    const auto end = std::chrono::steady_clock::now() + kEventsSlice;
    MSG msg{};
    for (int handled = 0; handled < kEventsMaxMessages; ++handled) {
        Win32Form::FlushPendingPaints();
        if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) return;
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
        if (std::chrono::steady_clock::now() >= end) return;
    }
}

void Win32Toolkit::Sleep(int milliseconds) {
    ::Sleep(milliseconds > 0 ? static_cast<DWORD>(milliseconds) : 0);
}

long long Win32Toolkit::Now() const { return static_cast<long long>(GetTickCount64()); }

void Win32Toolkit::MessageBox(const std::string& text) {
    ::MessageBoxW(GetActiveWindow(), Widen(text).c_str(), L"Corvale", MB_OK);
}

// The program sees the screen in skin pixels: a 2048-pixel screen at 192
// dpi is 1024 wide to it, and its twips are 15 to the pixel everywhere.
int Win32Toolkit::ScreenWidthPixels() const { return ToSkin(GetSystemMetrics(SM_CXSCREEN), ProgramDpi()); }
int Win32Toolkit::TwipsPerPixelX() const { return kTwipsPerSkinPixel; }
int Win32Toolkit::TwipsPerPixelY() const { return kTwipsPerSkinPixel; }

namespace {

Rect ToSkinRect(const RECT& r, int dpi) {
    return Rect{ToSkin(r.left, dpi), ToSkin(r.top, dpi), ToSkin(r.right, dpi), ToSkin(r.bottom, dpi)};
}

}  // namespace

// The primary monitor's, as its monitor information gives it: after a
// display change a 32-bit program under Wine 8 keeps reading the old size
// from SPI_GETWORKAREA, while the monitor's own work area follows.
Rect Win32Toolkit::WorkArea() const {
    RECT area{};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor))
        area = monitor.rcWork;
    else if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0))
        area = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return ToSkinRect(area, ProgramDpi());
}

NearestMonitor Win32Toolkit::MonitorNearest(const Rect& r) const {
    const int dpi = ProgramDpi();
    const RECT device{ToDevice(r.left, dpi), ToDevice(r.top, dpi), ToDevice(r.right, dpi),
                      ToDevice(r.bottom, dpi)};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoW(MonitorFromRect(&device, MONITOR_DEFAULTTONEAREST), &monitor))
        return {true, WorkArea()};  // nothing to go by: the window stays where it was put
    return {MonitorFromRect(&device, MONITOR_DEFAULTTONULL) != nullptr, ToSkinRect(monitor.rcWork, dpi)};
}

Point Win32Toolkit::CursorPos() const {
    GetCursorPos(&cursor_);
    const int dpi = ProgramDpi();
    cursorInSkin_ = Point{ToSkin(cursor_.x, dpi), ToSkin(cursor_.y, dpi)};
    return cursorInSkin_;
}

WindowHandle Win32Toolkit::WindowFromPoint(Point screen) const {
    const int dpi = ProgramDpi();
    const POINT at = screen.x == cursorInSkin_.x && screen.y == cursorInSkin_.y
                         ? cursor_
                         : POINT{ToDevice(screen.x, dpi), ToDevice(screen.y, dpi)};
    return reinterpret_cast<WindowHandle>(::WindowFromPoint(at));
}

void Win32Toolkit::EndProgram() { ExitProcess(0); }

int Win32Toolkit::RunMessageLoop() {
    MSG msg{};
    for (;;) {
        Win32Form::FlushPendingPaints();
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) return static_cast<int>(msg.wParam);
        if (got == -1) return 1;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

}  // namespace corvale::win32
