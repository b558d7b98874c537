// Bringing the program's windows to the user: the first show as the starting
// program asked, the foreground and the taskbar flash when Windows refuses
// it, and a second start's request to raise the running panel.
#pragma once

#include <windows.h>

namespace corvale::win32 {

// Shows the process's first window as the shortcut or the starting program
// asked: minimised when asked, otherwise where it was placed, and never
// maximised, which would spread a borderless window over the taskbar. Later
// windows show as they are.
void ShowAsStarted(HWND window);

// How a window asks for the foreground: SetForegroundWindow, unless a test
// stands in a system that refuses it (Wine hardly ever does); nullptr puts
// the system's call back.
using ForegroundRequest = BOOL(WINAPI*)(HWND);
void SetForegroundRequest(ForegroundRequest request);
// Asks for the foreground; true when the window has it afterwards.
bool BringToForeground(HWND window);

// Starts (or stops) flashing the taskbar button that stands for `window`:
// an owned window has none of its own, its root owner's stands for it.
void FlashTaskbarButton(HWND window, bool flash);

// A second start asks the running panel's window `target`, of another
// process, to come forward, and returns at once: the panel may be busy.
void RequestRaise(HWND target);
// The panel's side: whether `message` is that request, and its answer.
bool IsRaiseRequest(UINT message);
void AcceptRaiseRequests(HWND window);
void RaiseOnRequest(HWND window);

}  // namespace corvale::win32
