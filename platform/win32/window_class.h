// Registering the program's window classes.
#pragma once

#include <windows.h>

namespace corvale::win32 {

struct WindowClassDesign {
    const wchar_t* name;
    WNDPROC procedure = DefWindowProcW;
    bool arrowCursor = false;
    bool programIcon = false;  // the program's own icon, for the taskbar and Alt+Tab
};

// The class's name once it is registered in this process (a class that
// exists already counts: another part of the program made it first), or
// nullptr when the system refused it.
const wchar_t* RegisteredClass(const WindowClassDesign& design);

}  // namespace corvale::win32
