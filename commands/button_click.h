// What a click on a picture button of the main window does.
#pragma once

#include <string>

#include "skin/context.h"

namespace corvale {

// The parts of the program a click reaches beyond the commands themselves.
class ClickHost {
public:
    virtual ~ClickHost() = default;
    virtual void PlaySound(const std::string& name) = 0;
    // Shows the prompt window modally; returns once it has closed, with the
    // answer in the globals' InputText. False when the program was told to
    // quit while the prompt was up: then there is no answer at all.
    virtual bool ShowPasswordPrompt() = 0;
    virtual bool IsWindowsNT() = 0;
    virtual WindowHandle MainWindow() = 0;
    virtual void CloseProgram() = 0;
};

// Runs the command of button `index`: the password gate, the click sound,
// then an applet, "QUIT" or the command line.
void imgBut_Click(Context& ctx, ClickHost& host, int index);

}  // namespace corvale
