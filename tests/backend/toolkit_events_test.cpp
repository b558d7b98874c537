// Window messages as the form's handlers hear them: mouse routing and
// capture, clicks, keys, timers, the modal show, the prompt that Windows refuses
// the foreground, the window under the cursor and changes of the displays.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <thread>

#include "platform/win32/foreground.h"
#include "platform/win32/toolkit.h"
#include "tests/backend/toolkit_test_support.h"

namespace corvale::win32 {
namespace {

using testing::AsHwnd;
using testing::Heard;
using testing::PumpFor;
using testing::RecordingEvents;
using A = ControlArray;

LPARAM At(int x, int y) {
    return MAKELPARAM(static_cast<WORD>(static_cast<SHORT>(x)), static_cast<WORD>(static_cast<SHORT>(y)));
}

void Place(Control& c, int left, int top, int width, int height) {
    c.SetLeft(left);
    c.SetTop(top);
    c.SetWidth(width);
    c.SetHeight(height);
    c.SetVisible(true);
}

class ToolkitEventsTest : public ::testing::Test {
protected:
    void SetUp() override {
        tpp = toolkit.TwipsPerPixelX();
        form = toolkit.CreateForm(FormKind::Main, events);
        form->Move(40.0 * tpp, 50.0 * tpp, 300.0 * tpp, 200.0 * tpp);
        form->Show();
        toolkit.DoEvents();
        // The design-time timers would add ticks to every record.
        form->Find(A::tmrMouse, 0)->SetEnabled(false);
        form->Find(A::tmrExit, 0)->SetEnabled(false);
        events.Forget();
    }

    HWND Window() const { return AsHwnd(form->Handle()); }
    void Send(HWND to, UINT message, WPARAM wParam, int x, int y) {
        SendMessageW(to, message, wParam, At(x, y));
    }

    Win32Toolkit toolkit;
    RecordingEvents events;
    std::unique_ptr<Form> form;
    int tpp = 15;
};

TEST_F(ToolkitEventsTest, PressOnASliderKeepsReportingToItUntilRelease) {
    Place(*form->Find(A::imgVol, 0), 20, 30, 10, 100);
    Send(Window(), WM_LBUTTONDOWN, MK_LBUTTON, 25, 80);
    Send(Window(), WM_MOUSEMOVE, MK_LBUTTON, 25, 10);  // dragged above the slider
    Send(Window(), WM_LBUTTONUP, 0, 25, 10);
    Send(Window(), WM_MOUSEMOVE, 0, 25, 10);

    const struct {
        const char* what;
        ControlRef ref;
        int button;
        double x, y;
    } expected[] = {
        {"down", {A::imgVol, 0}, kLeftButton, 5.0 * tpp, 50.0 * tpp},
        {"move", {A::imgVol, 0}, kLeftButton, 5.0 * tpp, -20.0 * tpp},
        {"up", {A::imgVol, 0}, kLeftButton, 5.0 * tpp, -20.0 * tpp},
        {"move", {A::Form, 0}, 0, 25.0 * tpp, 10.0 * tpp},
    };
    const auto heard = events.Mouse();
    ASSERT_EQ(heard.size(), std::size(expected));
    for (std::size_t i = 0; i < heard.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(heard[i].what, expected[i].what);
        EXPECT_EQ(heard[i].ref, expected[i].ref);
        EXPECT_EQ(heard[i].mouse.button, expected[i].button);
        EXPECT_EQ(heard[i].mouse.x, expected[i].x);
        EXPECT_EQ(heard[i].mouse.y, expected[i].y);
    }
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(ToolkitEventsTest, ButtonsAndModifiersArriveAsBitSets) {
    const struct {
        UINT message;
        WPARAM wParam;
        const char* what;
        int button;
        int shift;
    } cases[] = {
        {WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, "down", kLeftButton, 1},
        {WM_RBUTTONDOWN, MK_LBUTTON | MK_RBUTTON | MK_CONTROL, "down", kRightButton, 2},
        {WM_MOUSEMOVE, MK_LBUTTON | MK_RBUTTON | MK_MBUTTON, "move",
         kLeftButton | kRightButton | kMiddleButton, 0},
        {WM_MBUTTONUP, MK_LBUTTON | MK_RBUTTON | MK_SHIFT | MK_CONTROL, "up", kMiddleButton, 3},
        {WM_RBUTTONUP, MK_LBUTTON, "up", kRightButton, 0},
        {WM_LBUTTONUP, 0, "up", kLeftButton, 0},
    };
    for (const auto& c : cases) {
        events.Forget();
        Send(Window(), c.message, c.wParam, 7, 9);
        ASSERT_EQ(events.heard.size(), 1u);
        EXPECT_EQ(events.heard[0].what, c.what);
        EXPECT_EQ(events.heard[0].ref, (ControlRef{A::Form, 0}));
        EXPECT_EQ(events.heard[0].mouse.button, c.button) << c.what;
        EXPECT_EQ(events.heard[0].mouse.shift, c.shift) << c.what;
        EXPECT_EQ(events.heard[0].mouse.x, 7.0 * tpp);
    }
}

TEST_F(ToolkitEventsTest, HitTestTakesTheFrontmostShownEnabledPicture) {
    Place(*form->Find(A::imgLbl, 0), 10, 10, 50, 50);
    Place(*form->Find(A::imgMute, 0), 30, 30, 50, 50);  // made later: in front
    Control* cover = form->Create(A::imgPic, 1);
    Place(*cover, 0, 0, 100, 100);
    cover->SetEnabled(false);  // lets the mouse through, as skin pictures do

    const struct {
        int x, y;
        ControlRef expected;
    } points[] = {{15, 15, {A::imgLbl, 0}},
                  {40, 40, {A::imgMute, 0}},
                  {70, 70, {A::imgMute, 0}},
                  {90, 90, {A::Form, 0}},
                  {200, 150, {A::Form, 0}}};
    for (const auto& p : points) {
        events.Forget();
        Send(Window(), WM_MOUSEMOVE, 0, p.x, p.y);
        ASSERT_EQ(events.heard.size(), 1u);
        EXPECT_EQ(events.heard[0].ref, p.expected) << p.x << "," << p.y;
    }

    form->Find(A::imgLbl, 0)->BringToFront();
    events.Forget();
    Send(Window(), WM_MOUSEMOVE, 0, 40, 40);
    EXPECT_EQ(events.heard.at(0).ref, (ControlRef{A::imgLbl, 0}));

    cover->SetEnabled(true);
    cover->BringToFront();
    events.Forget();
    Send(Window(), WM_MOUSEMOVE, 0, 40, 40);
    EXPECT_EQ(events.heard.at(0).ref, (ControlRef{A::imgPic, 1}));
    EXPECT_EQ(events.heard.at(0).mouse.x, 40.0 * tpp);

    form->Find(A::imgLbl, 0)->SetVisible(false);
    cover->SetVisible(false);
    events.Forget();
    Send(Window(), WM_MOUSEMOVE, 0, 15, 15);
    EXPECT_EQ(events.heard.at(0).ref, (ControlRef{A::Form, 0})) << "hidden pictures take nothing";
}

TEST_F(ToolkitEventsTest, MuteSwitchClicksOnlyWhenPressedAndReleasedOnIt) {
    Place(*form->Find(A::imgMute, 2), 100, 100, 20, 20);
    const ControlRef mute{A::imgMute, 2};
    const struct {
        const char* name;
        UINT down, up;
        WPARAM held;
        int upX, upY;
        bool click;
    } cases[] = {
        {"left, released on it", WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON, 110, 110, true},
        {"left, released off it", WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON, 150, 110, false},
        {"right button", WM_RBUTTONDOWN, WM_RBUTTONUP, MK_RBUTTON, 110, 110, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        events.Forget();
        Send(Window(), c.down, c.held, 105, 105);
        Send(Window(), c.up, 0, c.upX, c.upY);
        std::vector<std::string> kinds;
        for (const Heard& h : events.heard) {
            kinds.push_back(h.what);
            EXPECT_EQ(h.ref, mute);
        }
        const std::vector<std::string> expected = c.click ? std::vector<std::string>{"down", "up", "click"}
                                                          : std::vector<std::string>{"down", "up"};
        EXPECT_EQ(kinds, expected);
    }
    Place(*form->Find(A::imgLbl, 2), 200, 100, 20, 20);
    events.Forget();
    Send(Window(), WM_LBUTTONDOWN, MK_LBUTTON, 205, 105);
    Send(Window(), WM_LBUTTONUP, 0, 205, 105);
    EXPECT_EQ(events.Count("click", {A::imgLbl, 2}), 0) << "labels do not click";
}

TEST_F(ToolkitEventsTest, PictureButtonReportsItsMouseAndClickInItsOwnCoordinates) {
    Control* button = form->Create(A::imgBut, 1);
    Place(*button, 50, 60, 40, 30);
    const HWND window = AsHwnd(button->Handle());
    Send(window, WM_MOUSEMOVE, 0, 1, 2);
    Send(window, WM_LBUTTONDOWN, MK_LBUTTON, 3, 4);
    Send(window, WM_LBUTTONUP, 0, 5, 6);
    const auto heard = events.Mouse();
    ASSERT_EQ(heard.size(), 4u);
    const char* kinds[] = {"move", "down", "up", "click"};
    for (std::size_t i = 0; i < heard.size(); ++i) {
        EXPECT_EQ(heard[i].what, kinds[i]);
        EXPECT_EQ(heard[i].ref, (ControlRef{A::imgBut, 1}));
    }
    EXPECT_EQ(heard[1].mouse.x, 3.0 * tpp);
    EXPECT_EQ(heard[1].mouse.y, 4.0 * tpp);
    EXPECT_EQ(GetCapture(), nullptr);

    events.Forget();
    Send(window, WM_LBUTTONDOWN, MK_LBUTTON, 3, 4);
    Send(window, WM_LBUTTONUP, 0, -5, 4);  // released beside it
    EXPECT_EQ(events.Count("click", {A::imgBut, 1}), 0);
    EXPECT_EQ(events.Count("up", {A::imgBut, 1}), 1);
}

TEST_F(ToolkitEventsTest, ClickHandlerMayUnloadTheButtonItCameFrom) {
    Control* button = form->Create(A::imgBut, 1);
    Place(*button, 50, 60, 40, 30);
    const HWND window = AsHwnd(button->Handle());
    events.onHeard = [&](const Heard& h) {
        if (h.what == "click") form->Unload(*form->Find(A::imgBut, 1));
    };
    Send(window, WM_LBUTTONDOWN, MK_LBUTTON, 3, 4);
    Send(window, WM_LBUTTONUP, 0, 3, 4);
    EXPECT_EQ(events.Count("click", {A::imgBut, 1}), 1);
    EXPECT_EQ(form->Find(A::imgBut, 1), nullptr);
    EXPECT_FALSE(IsWindow(window));
    toolkit.DoEvents();
}

TEST_F(ToolkitEventsTest, InputBoxReportsKeyUpAndMouse) {
    RecordingEvents inputEvents;
    const auto input = toolkit.CreateForm(FormKind::Input, inputEvents);
    input->Find(A::tmrMouse, 0)->SetEnabled(false);
    const HWND edit = AsHwnd(input->Find(A::txtInput, 0)->Handle());
    SendMessageW(edit, WM_KEYUP, VK_RETURN, 0xC0000001);
    SendMessageW(edit, WM_KEYUP, 'A', 0xC0000001);
    Send(edit, WM_MOUSEMOVE, 0, 4, 5);
    const auto heard = inputEvents.Mouse();
    ASSERT_EQ(heard.size(), 3u);
    EXPECT_EQ(heard[0].what, "key");
    EXPECT_EQ(heard[0].ref, (ControlRef{A::txtInput, 0}));
    EXPECT_EQ(heard[0].key.keyCode, kKeyReturn);
    EXPECT_EQ(heard[1].key.keyCode, 'A');
    EXPECT_EQ(heard[2].what, "move");
    EXPECT_EQ(heard[2].mouse.y, 5.0 * tpp);
}

TEST_F(ToolkitEventsTest, TimersFireAtAboutTheirIntervalAndNotWhenDisabledOrAtZero) {
    Control* fast = form->Create(A::tmrAnim, 1);
    Control* zero = form->Create(A::tmrAnim, 2);
    Control* off = form->Create(A::tmrAnim, 3);
    fast->SetInterval(40);
    fast->SetEnabled(true);
    zero->SetInterval(0);
    zero->SetEnabled(true);
    off->SetInterval(40);
    form->Find(A::tmrMouse, 0)->SetEnabled(true);
    form->Find(A::tmrAudio, 0)->SetInterval(250);  // disabled by design
    PumpFor(toolkit, 800);
    const int fastTicks = events.Count("timer", {A::tmrAnim, 1});
    const int mouseTicks = events.Count("timer", {A::tmrMouse, 0});
    EXPECT_GE(fastTicks, 10);  // 20 at exactly 40 ms
    EXPECT_LE(fastTicks, 22);
    EXPECT_GE(mouseTicks, 4);  // 8 at exactly 100 ms
    EXPECT_LE(mouseTicks, 9);
    EXPECT_EQ(events.Count("timer", {A::tmrAnim, 2}), 0);
    EXPECT_EQ(events.Count("timer", {A::tmrAnim, 3}), 0);
    EXPECT_EQ(events.Count("timer", {A::tmrAudio, 0}), 0);
    EXPECT_EQ(events.Count("timer", {A::tmrExit, 0}), 0);

    fast->SetEnabled(false);
    events.Forget();
    PumpFor(toolkit, 200);
    EXPECT_EQ(events.Count("timer", {A::tmrAnim, 1}), 0) << "disabled again";
}

TEST_F(ToolkitEventsTest, TimerHandlerMayUnloadItsTimerOrCloseTheForm) {
    Control* timer = form->Create(A::tmrAnim, 1);
    timer->SetInterval(20);
    timer->SetEnabled(true);
    events.onHeard = [&](const Heard& h) {
        if (h.ref == ControlRef{A::tmrAnim, 1}) form->Unload(*form->Find(A::tmrAnim, 1));
    };
    PumpFor(toolkit, 200);
    EXPECT_EQ(events.Count("timer", {A::tmrAnim, 1}), 1);

    form->Find(A::tmrMouse, 0)->SetEnabled(true);
    events.onHeard = [&](const Heard& h) {
        if (h.what == "timer") form->Close();
    };
    PumpFor(toolkit, 400);
    EXPECT_EQ(events.Count("timer", {A::tmrMouse, 0}), 1);
    EXPECT_EQ(form->Handle(), 0u);
}

TEST_F(ToolkitEventsTest, ModalShowDisablesTheOtherWindowsUntilTheFormCloses) {
    RecordingEvents inputEvents;
    const auto input = toolkit.CreateForm(FormKind::Input, inputEvents);
    const int tppY = toolkit.TwipsPerPixelY();
    input->SetOuterSize(200.0 * tpp, 100.0 * tppY);
    int ticks = 0;
    bool mainEnabledDuring = true;
    RECT placed{};
    inputEvents.onHeard = [&](const Heard& h) {
        if (h.ref != ControlRef{A::tmrMouse, 0}) return;
        mainEnabledDuring = IsWindowEnabled(Window()) != FALSE;
        GetWindowRect(AsHwnd(input->Handle()), &placed);
        if (++ticks == 3) input->Close();
    };
    input->ShowModal();
    EXPECT_EQ(ticks, 3);
    EXPECT_FALSE(mainEnabledDuring);
    EXPECT_TRUE(IsWindowEnabled(Window()));
    EXPECT_EQ(input->Handle(), 0u);
    EXPECT_NEAR((placed.left + placed.right) / 2.0, GetSystemMetrics(SM_CXSCREEN) / 2.0, 1.0);
    EXPECT_NEAR((placed.top + placed.bottom) / 2.0, GetSystemMetrics(SM_CYSCREEN) / 2.0, 1.0);
    EXPECT_EQ(placed.right - placed.left, 200);
}

// Windows' answer to a program that did not have the user's last input.
BOOL WINAPI RefusedForeground(HWND) { return FALSE; }

void TypeKeys(const char* letters) {
    for (const char* c = letters; *c; ++c) {
        const auto key = static_cast<BYTE>(VkKeyScanW(static_cast<wchar_t>(*c)));
        keybd_event(key, 0, 0, 0);
        keybd_event(key, 0, KEYEVENTF_KEYUP, 0);
    }
}

// Pixels of the box that are not its white background: text, a cue, the caret.
int InkIn(HWND box) {
    RECT area{};
    GetClientRect(box, &area);
    const UniqueWindowDC dc = GetWindowDCOf(box);
    int ink = 0;
    for (int y = 0; y < area.bottom; ++y)
        for (int x = 0; x < area.right; ++x) ink += GetPixel(dc.get().dc, x, y) != RGB(255, 255, 255);
    return ink;
}

TEST_F(ToolkitEventsTest, APromptRefusedTheForegroundShowsItNeedsAClickAndTakesKeysOnlyOnceActivated) {
    SetForegroundRequest(RefusedForeground);
    RecordingEvents inputEvents;
    const auto input = toolkit.CreateOwnedForm(FormKind::Input, inputEvents, form->Handle());
    Control* box = input->Find(A::txtInput, 0);
    Place(*box, 10, 10, 220, 24);
    const HWND prompt = AsHwnd(input->Handle()), boxWindow = AsHwnd(box->Handle());
    struct Seen {
        bool foreground;
        int ink;
        std::string text;
    };
    std::vector<Seen> seen;  // waiting, after typing, activated, after typing
    auto look = [&] { seen.push_back({GetForegroundWindow() == prompt, InkIn(boxWindow), box->Text()}); };
    int ticks = 0;
    inputEvents.onHeard = [&](const Heard& h) {
        if (h.ref != ControlRef{A::tmrMouse, 0}) return;
        switch (++ticks) {
            case 2: look(), TypeKeys("ab"); break;
            case 5: look(), SetForegroundWindow(prompt); break;  // what the user's click does
            case 8: look(), TypeKeys("cd"); break;
            case 11: look(), input->Close(); break;
        }
    };
    input->ShowModal();
    SetForegroundRequest(nullptr);

    ASSERT_EQ(seen.size(), 4u);
    const int caret = 2 * 24;  // the most a caret covers in this box
    EXPECT_FALSE(seen[0].foreground);
    EXPECT_GT(seen[0].ink, caret) << "the empty box does not show that it needs a click";
    EXPECT_EQ(seen[0].text + seen[1].text, "") << "the note, or keys typed before the click, are in the box";
    EXPECT_TRUE(seen[2].foreground);
    EXPECT_LE(seen[2].ink, caret) << "the cue stays once the prompt is active";
    EXPECT_EQ(seen[3].text, "cd") << "the box did not take the keyboard when the prompt was activated";
}

TEST_F(ToolkitEventsTest, WindowUnderTheCursorIsTheButtonOrElseTheForm) {
    Control* button = form->Create(A::imgBut, 1);
    Place(*button, 10, 10, 40, 30);
    Place(*form->Create(A::imgPic, 1), 100, 10, 40, 30);
    toolkit.DoEvents();
    const struct {
        int x, y;
        WindowHandle expected;
    } points[] = {{20, 20, button->Handle()}, {110, 20, form->Handle()}, {200, 150, form->Handle()}};
    for (const auto& p : points) {
        SetCursorPos(40 + p.x, 50 + p.y);
        const Point at = toolkit.CursorPos();
        EXPECT_EQ(at.x, 40 + p.x);
        EXPECT_EQ(at.y, 50 + p.y);
        EXPECT_EQ(toolkit.WindowFromPoint(at), p.expected) << p.x << "," << p.y;
    }
    button->SetVisible(false);
    EXPECT_EQ(toolkit.WindowFromPoint(Point{60, 70}), form->Handle());
}

// The system broadcasts these to every top-level window and waits for each
// answer: the form hears them, and lets the sender go before its handler
// (a face built anew) is done.
TEST_F(ToolkitEventsTest, DisplayAndWorkAreaChangesReachTheFormWithoutHoldingTheSender) {
    events.onHeard = [](const Heard& h) {
        if (h.what == "display") ::Sleep(800);
    };
    const struct {
        const char* why;
        UINT message;
        WPARAM wParam;
        int heard;
    } cases[] = {
        {"a new screen size", WM_DISPLAYCHANGE, 32, 1},
        {"a new work area", WM_SETTINGCHANGE, SPI_SETWORKAREA, 1},
        {"another setting", WM_SETTINGCHANGE, SPI_SETDESKWALLPAPER, 0},
    };
    for (const auto& c : cases) {
        events.Forget();
        std::atomic<ULONGLONG> held{0};
        std::thread sender([&] {
            const ULONGLONG start = GetTickCount64();
            DWORD_PTR result = 0;
            SendMessageTimeoutW(Window(), c.message, c.wParam, 0, SMTO_NORMAL, 5000, &result);
            held = GetTickCount64() - start;
        });
        PumpFor(toolkit, 1000);
        sender.join();
        EXPECT_EQ(events.Count("display", ControlRef{}), c.heard) << c.why;
        EXPECT_LT(held.load(), 400U) << c.why;
    }
}

}  // namespace
}  // namespace corvale::win32
