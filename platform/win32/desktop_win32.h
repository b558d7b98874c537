// The single-instance mark and the desktop's top-level windows.
#pragma once

#include <vector>

#include "platform/system.h"

namespace corvale::win32 {

// The desktop's windows, without the instance mark: what a program beside
// the panel (corvalectl) sees, so that a panel started meanwhile does not
// take it for a running panel.
class Win32Windows : public Desktop {
public:
    bool PreviousInstanceRunning() override { return false; }
    std::vector<TopWindow> TopLevelWindows() override;
    void RaiseWindow(WindowHandle window) override;
};

// The panel's desktop. Constructing the first Win32Desktop of a process
// takes the instance mark (a named mutex) and holds it until the process
// ends, whatever becomes of the object; later objects of the same process
// share the mark and its answer.
class Win32Desktop final : public Win32Windows {
public:
    Win32Desktop();
    bool PreviousInstanceRunning() override;
};

}  // namespace corvale::win32
