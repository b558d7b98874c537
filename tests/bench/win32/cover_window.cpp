// Covers the whole screen with a topmost window while scripts/bench.sh
// measures the panel under it, then times from outside how soon the panel
// shows what changed meanwhile:
//
//     cover_window.exe SECONDS CAPTION X,Y,NORMAL_RRGGBB
//
// X,Y is a client point of a button of the window captioned CAPTION and
// NORMAL its colour when not hovered. The pointer lights the button, the
// cover goes up and, once the panel rests, the pointer moves off the
// button; after SECONDS more the cover goes, leaving a small window under
// the pointer, and the time until the button is dark again is the first
// figure: the panel had to find out by itself that it can be seen. Then
// the small window goes too, the button is lit again and covered for a
// while, and the cover goes with the pointer over the panel: the second
// figure. Prints both, in ms.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cwchar>
#include <string>

namespace {

constexpr wchar_t kClass[] = L"CorvaleBenchCover";
using Clock = std::chrono::steady_clock;

struct Button {
    HWND panel = nullptr;
    POINT at{};  // screen
    COLORREF normal = 0;
};

COLORREF ScreenColour(POINT at) {
    const HDC dc = GetDC(nullptr);
    const COLORREF seen = GetPixel(dc, at.x, at.y);
    ReleaseDC(nullptr, dc);
    return seen;
}

// Lets this thread's windows paint while waiting, without polling: the
// wineserver's share is measured meanwhile.
void Pump(int milliseconds) {
    const auto end = Clock::now() + std::chrono::milliseconds(milliseconds);
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
        if (left <= 0) return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left), QS_ALLINPUT);
    }
}

// Milliseconds until the button shows `lit` (hovered or not), or -1 after 5 s.
double WaitForButton(const Button& b, bool lit) {
    const auto start = Clock::now();
    while ((ScreenColour(b.at) != b.normal) != lit) {
        if (Clock::now() - start > std::chrono::seconds(5)) return -1;
        Sleep(2);
    }
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

HWND TopmostWindow(int x, int y, int width, int height) {
    const HWND window = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kClass, L"cover", WS_POPUP, x, y,
                                        width, height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ShowWindow(window, SW_SHOWNOACTIVATE);
    UpdateWindow(window);
    return window;
}

// Two topmost windows side by side over the whole screen. Wine takes a
// popup the size of the screen for one a window manager looks after, and
// without one it keeps it on the screen for two seconds after it is gone;
// halves it leaves to the program.
struct Halves {
    HWND left, right;
};

Halves CoverWithHalves() {
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    return {TopmostWindow(0, 0, w / 2, h), TopmostWindow(w / 2, 0, w - w / 2, h)};
}

// Lights the button, covers the screen with one topmost window for
// `milliseconds`, moving the pointer to `away` meanwhile, then with two
// halves, and times the return once those are gone.
double CoverAndTime(const Button& b, int milliseconds, POINT away, bool smallWindowAtAway) {
    SetCursorPos(b.at.x, b.at.y);
    if (WaitForButton(b, true) < 0) return -1;
    const HWND cover = TopmostWindow(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    // The pointer stays until the panel has surely found itself covered
    // (on its 500 ms tick): until then its hover tick would darken the
    // button itself.
    Pump(1500);
    SetCursorPos(away.x, away.y);
    const HWND small = smallWindowAtAway ? TopmostWindow(away.x - 32, away.y - 32, 64, 64) : nullptr;
    std::printf("covered\n");
    std::fflush(stdout);
    Pump(milliseconds);
    const Halves halves = CoverWithHalves();
    DestroyWindow(cover);
    Pump(1000);
    const auto gone = Clock::now();
    DestroyWindow(halves.left);
    DestroyWindow(halves.right);
    const double back = WaitForButton(b, false) < 0
                            ? -1
                            : std::chrono::duration<double, std::milli>(Clock::now() - gone).count();
    if (small) DestroyWindow(small);
    return back;
}

bool ParseButton(const wchar_t* caption, const wchar_t* text, Button& b) {
    unsigned rgb = 0;
    if (std::swscanf(text, L"%ld,%ld,%x", &b.at.x, &b.at.y, &rgb) != 3) return false;
    b.normal = RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
    b.panel = FindWindowW(nullptr, caption);
    return b.panel && ClientToScreen(b.panel, &b.at);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    Button button;
    if (argc != 4 || !ParseButton(argv[2], argv[3], button)) {
        std::fwprintf(stderr, L"usage: cover_window SECONDS CAPTION X,Y,NORMAL_RRGGBB (with the panel up)\n");
        return 2;
    }
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    wc.lpszClassName = kClass;
    if (!RegisterClassW(&wc)) return 1;
    const POINT away{button.at.x, button.at.y + 200};
    const double alone = CoverAndTime(button, static_cast<int>(_wtof(argv[1]) * 1000), away, true);
    const double pointed = CoverAndTime(button, 1000, away, false);
    std::printf("%.1f %.1f\n", alone, pointed);
    return 0;
}
