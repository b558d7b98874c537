// The single-instance mark and the desktop's top-level windows.
#pragma once

#include <vector>

#include "platform/system.h"

namespace corvale::win32 {

// Constructing the first Win32Desktop of a process takes the instance mark
// (a named mutex) and holds it until the process ends, whatever becomes of
// the object; later objects of the same process share the mark and its
// answer.
class Win32Desktop final : public Desktop {
public:
    Win32Desktop();
    bool PreviousInstanceRunning() override;
    std::vector<TopWindow> TopLevelWindows() override;
    void RaiseWindow(WindowHandle window) override;
};

}  // namespace corvale::win32
