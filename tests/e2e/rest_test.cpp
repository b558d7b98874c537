// The panel rests while nobody can see it and catches up on its return,
// watched from outside: covered by a topmost window over the screen, then
// minimised.
#include <thread>

#include "tests/e2e/driver.h"

namespace corvale::e2e {
namespace {

constexpr Box kWindow{100, 50, 900, 650};
constexpr Box kGif{300, 200, 360, 260}, kSlider{500, 50, 540, 250};

Rgb Step(int n) { return {std::uint8_t(40 + 10 * n), std::uint8_t(220 - 9 * n), std::uint8_t(12 * n)}; }

HWND TopmostWindow(int x, int y, int width, int height) {
    const HWND w = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"Static", L"", WS_POPUP, x, y, width,
                                   height, nullptr, nullptr, nullptr, nullptr);
    ShowWindow(w, SW_SHOWNOACTIVATE);
    return w;
}

// Another program's window over the whole screen; it goes as two halves do:
// Wine leaves a window the screen's size to a window manager, and without
// one keeps it on the screen for two seconds after it is gone.
struct Cover {
    Cover() { whole = TopmostWindow(0, 0, ScreenWidth(), ScreenHeight()); }
    void Close() {
        const HWND left = TopmostWindow(0, 0, ScreenWidth() / 2, ScreenHeight());
        const HWND right =
            TopmostWindow(ScreenWidth() / 2, 0, ScreenWidth() - ScreenWidth() / 2, ScreenHeight());
        DestroyWindow(whole);
        DestroyWindow(left);
        DestroyWindow(right);
    }
    HWND whole;
};

class Rest : public PanelTest {};

TEST_F(Rest, CoveredOrMinimisedThePanelRestsAndOnItsReturnShowsTheVolumeSetMeanwhile) {
    std::string volume = "[VOLUME]\nvolume0=500,50,40,200,450,50,40,20,500,270,40,20\n";
    for (int n = 0; n < 22; ++n) {
        const std::string name = "m" + std::to_string(n) + ".bmp";
        theme_->WriteBmp(name, Canvas(40, 200, n < 20 ? Step(n) : Rgb{250, 250, 250}));
        volume += "Meter" + std::string(n < 10 ? "0" : "") + std::to_string(n) + "=" + name + "\n";
    }
    theme_->WriteGif("spin.gif", {{Canvas(8, 8, {230, 20, 20}), 2}, {Canvas(8, 8, {20, 230, 20}), 2}});
    theme_->WriteSkin("Corvale.skn",
                      "[DEFAULT]\nBackGround=20,20,20\n01=spin.gif,A,300,200,60,60\n" + volume);
    PlaceWindow(kWindow.left, kWindow.top, kWindow.right, kWindow.bottom);
    Panel& panel = StartPanel();
    const HWND window = panel.WaitForWindow();
    ASSERT_TRUE(window);
    const POINT gif = PointIn(InnerToScreen(window, kGif), 0.5, 0.5);
    const POINT slider = PointIn(InnerToScreen(window, kSlider), 0.5, 0.5);
    ASSERT_TRUE(WaitUntil([&] { return ScreenPixelNow(slider.x, slider.y) != Rgb{20, 20, 20}; }, 10s));
    // The pointer rests over the panel, as it does over one that fills the screen.
    MoveCursor(kWindow.left + 50, kWindow.bottom - 50);
    const auto cpuOver = [&](Milliseconds span) {
        const auto before = panel.CpuTime();
        std::this_thread::sleep_for(span);
        return panel.CpuTime() - before;
    };
    // On a loaded machine Wine may hand a window's picture to X only every
    // second or so, while its own copy changes every frame: X is watched
    // for up to five seconds.
    const auto animates = [&] {
        const Rgb first = ShownScreen().At(gif.x, gif.y);
        return WaitUntil([&] { return ShownScreen().At(gif.x, gif.y) != first; }, 5s);
    };
    ASSERT_TRUE(animates());
    const auto seen = cpuOver(2s);

    for (const bool minimise : {false, true}) {
        SCOPED_TRACE(minimise ? "minimised" : "covered");
        // A press on the slider's far end: the volume is set through the
        // mixer, and the slider follows once it is read back.
        const bool up = ScreenPixelNow(slider.x, slider.y) != Step(19);
        std::optional<Cover> cover;
        if (minimise) ShowWindow(window, SW_MINIMIZE);
        else cover.emplace();
        std::this_thread::sleep_for(800ms);  // the panel looks on its 500 ms tick
        const LPARAM at = MAKELPARAM(kSlider.left + 20, up ? kSlider.top : kSlider.bottom - 1);
        PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageW(window, WM_LBUTTONUP, 0, at);
        EXPECT_LT(cpuOver(2s) * 3, seen) << "the panel did not rest";
        if (minimise) ShowWindow(window, SW_RESTORE);
        else cover->Close();
        const auto back = std::chrono::steady_clock::now();
        EXPECT_TRUE(WaitUntil([&] { return ScreenPixelNow(slider.x, slider.y) == Step(up ? 19 : 0); }, 2s));
        EXPECT_LE(std::chrono::steady_clock::now() - back, 250ms) << "the volume set meanwhile showed late";
        EXPECT_TRUE(animates()) << "the animation did not come back";
    }
    Cover cover;
    std::this_thread::sleep_for(800ms);
    RequestExit();
    EXPECT_TRUE(panel.WaitForExit(6s)) << "EXIT written while covered did not close the panel";
    cover.Close();
}

}  // namespace
}  // namespace corvale::e2e
