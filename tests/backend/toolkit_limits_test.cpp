// The toolkit at the edges of what a theme can ask for: controls that reach
// past the end of a 32-bit int, and timers that cost more than their interval.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <climits>

#include "platform/win32/toolkit.h"
#include "tests/backend/toolkit_test_support.h"

namespace corvale::win32 {
namespace {

using testing::AsHwnd;
using testing::Bmp24;
using testing::Heard;
using testing::RecordingEvents;
using A = ControlArray;
using Clock = std::chrono::steady_clock;

constexpr int kFormX = 60;
constexpr int kFormY = 70;

class ToolkitLimitsTest : public ::testing::Test {
protected:
    void SetUp() override {
        const double tpp = toolkit.TwipsPerPixelX();
        form = toolkit.CreateForm(FormKind::Main, events);
        form->SetBackColor(Rgb(0, 0, 128));
        form->Move(kFormX * tpp, kFormY * static_cast<double>(toolkit.TwipsPerPixelY()), 240 * tpp,
                   160.0 * toolkit.TwipsPerPixelY());
        form->Show();
        form->Find(A::tmrMouse, 0)->SetEnabled(false);
        form->Find(A::tmrExit, 0)->SetEnabled(false);
        toolkit.DoEvents();
        events.Forget();
    }

    PicturePtr Red() {
        const std::vector<std::uint8_t> rgb = {255, 0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0};
        return toolkit.LoadPictureFromBytes(Bmp24(2, 2, rgb));
    }

    void Place(Control& c, int left, int top, int width, int height) {
        c.SetLeft(left);
        c.SetTop(top);
        c.SetWidth(width);
        c.SetHeight(height);
        c.SetPicture(Red());
        c.SetVisible(true);
    }

    Color PixelAt(int x, int y) {
        testing::PumpFor(toolkit, 60);
        GdiFlush();
        const HDC screen = GetDC(nullptr);
        const COLORREF c = GetPixel(screen, kFormX + x, kFormY + y);
        ReleaseDC(nullptr, screen);
        return static_cast<Color>(c);
    }

    ControlRef MouseTargetAt(int x, int y) {
        events.Forget();
        SendMessageW(AsHwnd(form->Handle()), WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
        return events.heard.empty() ? ControlRef{A::tmrAnim, -1} : events.heard.back().ref;
    }

    Win32Toolkit toolkit;
    RecordingEvents events;
    std::unique_ptr<Form> form;
};

// Left + Width past INT_MAX wrapped to a negative right edge: the picture
// never painted, took no mouse, and the button's window came out empty.
TEST_F(ToolkitLimitsTest, ControlsReachingPastTheLargestIntStillShowAndTakeTheMouse) {
    Control& mute = *form->Find(A::imgMute, 0);
    Place(mute, 20, 30, INT_MAX, INT_MAX);
    EXPECT_EQ(PixelAt(100, 100), Rgb(255, 0, 0));
    EXPECT_EQ(MouseTargetAt(100, 100), (ControlRef{A::imgMute, 0}));
    EXPECT_EQ(MouseTargetAt(10, 10), (ControlRef{A::Form, 0}));

    // A slider that reaches the window from near -2^31, dragged past its
    // right edge: the pointer's offset from its left edge passes INT_MAX.
    Control& slider = *form->Find(A::imgVol, 0);
    Place(slider, INT_MIN + 100, 120, INT_MAX, 20);
    slider.BringToFront();
    const HWND window = AsHwnd(form->Handle());
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(50, 125));
    events.Forget();
    SendMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(150, 125));
    SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(150, 125));
    ASSERT_FALSE(events.heard.empty());
    EXPECT_EQ(events.heard[0].ref, slider.Ref());
    EXPECT_EQ(events.heard[0].mouse.x, (150.0 - (INT_MIN + 100.0)) * toolkit.TwipsPerPixelX());

    Control& button = *form->Create(A::imgBut, 1);
    Place(button, 150, 20, INT_MAX, INT_MAX);
    const Point inside{kFormX + 200, kFormY + 100};
    EXPECT_EQ(toolkit.WindowFromPoint(inside), button.Handle());
    // And one that starts near the end of the range is simply off the window.
    button.SetLeft(INT_MAX - 5);
    EXPECT_EQ(toolkit.WindowFromPoint(inside), form->Handle());
    EXPECT_EQ(button.Left(), INT_MAX - 5) << "the control keeps the value it was given";
}

// With frames of 10 ms that cost 15 ms to show, the queue never runs dry;
// the pump still has to hand control back, or nothing after it advances.
TEST_F(ToolkitLimitsTest, LettingEventsRunReturnsWhileATimerCostsMoreThanItsInterval) {
    Control& frames = *form->Create(A::tmrAnim, 1);
    Control& mouse = *form->Find(A::tmrMouse, 0);
    int ticks = 0;
    events.onHeard = [&](const Heard& h) {
        if (h.ref != frames.Ref()) return;
        ::Sleep(15);
        if (++ticks == 200) frames.SetEnabled(false);  // so a pump without a limit ends too
    };
    frames.SetInterval(10);
    frames.SetEnabled(true);
    mouse.SetEnabled(true);
    ::Sleep(20);

    auto longest = Clock::duration::zero();
    const auto soakEnd = Clock::now() + std::chrono::milliseconds(600);
    int calls = 0;
    while (Clock::now() < soakEnd && ticks < 200) {
        InvalidateRect(AsHwnd(form->Handle()), nullptr, FALSE);
        const auto start = Clock::now();
        toolkit.DoEvents();
        longest = std::max(longest, Clock::now() - start);
        ++calls;
        EXPECT_FALSE(GetUpdateRect(AsHwnd(form->Handle()), nullptr, FALSE))
            << "a paint waits, call " << calls;
    }
    frames.SetEnabled(false);
    EXPECT_LT(ticks, 200) << "one call ran until the timer was switched off";
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(longest).count(), 100);
    EXPECT_GE(ticks, 10) << "the frames timer starved";
    EXPECT_GE(events.Count("timer", mouse.Ref()), 3) << "the 100 ms timer starved";
}

}  // namespace
}  // namespace corvale::win32
