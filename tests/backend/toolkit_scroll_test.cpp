// A text box's own scroll bar over the real Edit: there only while the text
// does not fit, in the box's colours, moving the Edit's first line.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "platform/scroll_bar.h"
#include "platform/win32/toolkit.h"
#include "platform/win32/toolkit_screen.h"
#include "tests/backend/toolkit_test_support.h"

namespace corvale::win32 {
namespace {

TEST(ToolkitScroll, OnlyTextThatDoesNotFitGetsABarInItsColoursAndWheelThumbTrackAndKeysScroll) {
    Win32Toolkit toolkit;
    testing::RecordingEvents events;
    const auto form = toolkit.CreateForm(FormKind::Main, events);
    form->Move(1200, 900, 4500, 3000);
    form->Show();
    Control* box = form->Create(ControlArray::txtBox, 1);  // at the form's corner
    box->SetWidth(200);
    box->SetHeight(120);
    const Color paper = Rgb(20, 40, 60), ink = Rgb(230, 200, 90), track = ScrollTrackColor(paper, ink);
    box->SetBackColor(paper);
    box->SetForeColor(ink);
    box->SetVisible(true);
    const HWND edit = testing::AsHwnd(box->Handle());
    RECT r{}, client{};
    GetWindowRect(edit, &r);
    const auto edge = [&](int y) {  // the box's own picture of its rightmost column
        testing::PumpFor(toolkit, 60);
        GetClientRect(edit, &client);
        return GetPixel(GetFrameDCOf(edit).get().dc, r.right - r.left - 1, y);
    };
    const auto first = [&] { return static_cast<int>(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0)); };
    const auto mouse = [&](UINT message, int y) {  // on the bar, y down the box
        POINT p{r.right - 3, r.top + y};
        if (message == WM_NCLBUTTONDOWN)
            ASSERT_EQ(SendMessageW(edit, WM_NCHITTEST, 0, POINTTOPOINTS(p)), HTVSCROLL);
        else ScreenToClient(edit, &p);
        SendMessageW(edit, message, message == WM_NCLBUTTONDOWN ? HTVSCROLL : 0, POINTTOPOINTS(p));
    };

    box->SetText("one\r\ntwo\r\n");
    EXPECT_EQ(edge(2), paper) << "the text fits: no bar";
    EXPECT_EQ(client.right, r.right - r.left);
    std::string lines;
    for (int i = 0; i < 60; ++i) lines += "line " + std::to_string(i) + "\r\n";
    box->SetText(lines);
    EXPECT_EQ(edge(2), ink) << "the thumb, at the top";
    EXPECT_EQ(edge(110), track);
    EXPECT_EQ(client.right, r.right - r.left - ToDevice(kScrollBarWidth, WindowDpi(edit)));

    UINT perNotch = 3;
    SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &perNotch, 0);
    SendMessageW(edit, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), MAKELPARAM(r.left, r.top));
    EXPECT_EQ(first(), static_cast<int>(perNotch)) << "a notch of the wheel";
    mouse(WM_NCLBUTTONDOWN, 12);  // the thumb, dragged past the track's end
    mouse(WM_MOUSEMOVE, 300);
    mouse(WM_LBUTTONUP, 300);
    const int last = first();
    SendMessageW(edit, EM_LINESCROLL, 0, 1);
    EXPECT_EQ(first(), last) << "dragged to the end, the last lines are in view";
    EXPECT_EQ(edge(118), ink) << "the thumb, at the bottom";

    SendMessageW(edit, EM_SCROLL, SB_PAGEUP, 0);
    const int pageUp = first();
    mouse(WM_NCLBUTTONDOWN, 5);
    mouse(WM_LBUTTONUP, 5);
    testing::PumpFor(toolkit, 400);
    EXPECT_EQ(first(), 2 * pageUp - last) << "a click on the track pages once, as the Edit pages";
    SetCursorPos(r.right - 3, r.top + 5);
    mouse(WM_NCLBUTTONDOWN, 5);
    testing::PumpFor(toolkit, 800);
    mouse(WM_LBUTTONUP, 5);
    EXPECT_EQ(first(), 0) << "held, it pages on until the thumb reaches the mouse";

    SetFocus(edit);
    for (int i = 0; i < 3; ++i) SendMessageW(edit, WM_KEYDOWN, VK_NEXT, 0);
    EXPECT_GT(first(), 0) << "page down moved the text";
    EXPECT_EQ(edge(2), track) << "and the thumb with it";
    box->SetText("one\r\n");
    EXPECT_EQ(edge(2), paper) << "the text fits again";
}

}  // namespace
}  // namespace corvale::win32
