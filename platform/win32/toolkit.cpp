// Runtime services of the Win32 toolkit.
#include "platform/win32/toolkit.h"

#include <windows.h>

#include <chrono>

#include "platform/win32/text.h"
#include "platform/win32/toolkit_form.h"
#include "platform/win32/toolkit_screen.h"

namespace corvale::win32 {

std::unique_ptr<Form> Win32Toolkit::CreateOwnedForm(FormKind kind, FormEvents& events, WindowHandle owner) {
    return std::make_unique<Win32Form>(kind, events, reinterpret_cast<HWND>(owner));
}

PicturePtr Win32Toolkit::LoadPicture(const std::string& path) { return decoder_.FromFile(path); }

PicturePtr Win32Toolkit::LoadPictureFromBytes(std::span<const std::uint8_t> bytes) {
    return frames_.Load(bytes);
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

int Win32Toolkit::ScreenWidthPixels() const { return GetSystemMetrics(SM_CXSCREEN); }
int Win32Toolkit::TwipsPerPixelX() const { return ScreenTwipsPerPixelX(); }
int Win32Toolkit::TwipsPerPixelY() const { return ScreenTwipsPerPixelY(); }

Rect Win32Toolkit::WorkArea() const {
    RECT area{};
    if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0))
        area = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return Rect{area.left, area.top, area.right, area.bottom};
}

Point Win32Toolkit::CursorPos() const {
    POINT at{};
    GetCursorPos(&at);
    return Point{at.x, at.y};
}

WindowHandle Win32Toolkit::WindowFromPoint(Point screen) const {
    return reinterpret_cast<WindowHandle>(::WindowFromPoint(POINT{screen.x, screen.y}));
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
