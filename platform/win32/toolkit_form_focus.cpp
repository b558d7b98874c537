// The prompt and the keyboard: it asks for the foreground, and when Windows
// refuses (the panel did not have the last input: a button performed from
// outside), it says so in its box and on the taskbar until the user clicks.
#include "platform/win32/foreground.h"
#include "platform/win32/toolkit_form.h"

namespace corvale::win32 {
namespace {

// Painted in the empty box, never its text: it is not typed, not masked and
// never handed back as the answer.
constexpr wchar_t kClickCue[] = L"Click here to type";

}  // namespace

void Win32Form::ComeForward() {
    if (!window_) return;
    if (BringToForeground(window_.get())) {
        FocusInput();
        return;
    }
    // Keys typed now go to the program the user works in: nothing may look
    // as if the prompt were listening.
    waitingForClick_ = true;
    FlashTaskbarButton(window_.get(), true);
    if (Win32Control* input = Get(ControlArray::txtInput, 0)) input->SetCue(kClickCue);
}

void Win32Form::OnActivated() {
    const HWND self = window_.get();
    if (!self) return;
    // A window the prompt disabled (the taskbar button stands for the main
    // window) hands its activation on to the prompt.
    if (!IsWindowEnabled(self)) {
        if (const HWND popup = GetWindow(self, GW_ENABLEDPOPUP)) BringToForeground(popup);
        return;
    }
    FocusInput();
    if (waitingForClick_ && GetForegroundWindow() == self) StopWaitingForClick();
}

void Win32Form::StopWaitingForClick() {
    if (!waitingForClick_) return;
    waitingForClick_ = false;
    if (window_) FlashTaskbarButton(window_.get(), false);
    if (Win32Control* input = Get(ControlArray::txtInput, 0)) input->SetCue(L"");
}

}  // namespace corvale::win32
