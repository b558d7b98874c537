// The program-wide state that the forms and modules share.
#pragma once

#include <string>
#include <vector>

#include "platform/types.h"

namespace corvale {

// One window's buttons and animations, as the layout builder fills them.
// Lists are indexed 1..count; element 0 is never filled.
struct SkinLists {
    long ButtonCount = 0;
    std::vector<std::string> ButtonPicture{""};
    std::vector<std::string> ButtonCommand{""};
    std::vector<std::string> ButtonClickSound{""};
    std::vector<std::string> ButtonHoverSound{""};
    std::vector<long> ButtonEntry{0};

    long AnimCount = 0;
    long GifFrameCount = 0;
    std::vector<long> AnimFirstFrame{0};
    std::vector<long> AnimLastFrame{0};
    std::vector<long> AnimFrame{0};
    // When the frame on show is due to give way, on the toolkit's clock; 0
    // when not known.
    std::vector<long long> AnimDue{0};
};

struct Globals {
    std::string AppCaption;
    std::string ProgramId;
    std::string ProgramDir;
    std::string ThemeDir;
    std::string LayoutSkinName;
    std::string Password;
    bool Animated = false;
    long AnimDelay = 0;
    int ControlCount = 0;
    bool StartupDone = false;

    long CursorX = 0;
    long CursorY = 0;
    WindowHandle HoverHwnd = 0;

    std::string InputText;
    bool PasswordPrompt = false;

    // The main window's buttons and animations.
    SkinLists Main;

    // ProgramDir & ThemeDir: joined as stored, without inserting a separator.
    std::string ThemeFolder() const { return ProgramDir + ThemeDir; }
    std::string ThemeSkinPath() const { return ThemeFolder() + "terminal.skn"; }
    std::string LayoutSkinPath() const { return ThemeFolder() + LayoutSkinName + ".skn"; }
    std::string LayoutOverridePath() const { return ThemeFolder() + LayoutSkinName + ".ini"; }
};

constexpr const char* kSettingsApp = "VEXAL Terminal";

}  // namespace corvale
