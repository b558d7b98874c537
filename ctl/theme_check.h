// Reading a theme as the panel would, to tell its author what each entry
// becomes and what in it will not work as written.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "skin/layout_fields.h"

namespace corvale {

enum class Severity { Note, Warning, Error };

struct Finding {
    Severity severity = Severity::Note;
    // Theme-relative file, section and key: "Corvale1024.skn [DEFAULT] 03".
    std::string where;
    std::string text;
};

// One numbered entry as the layout builder reads it.
struct CheckedEntry {
    std::string key;
    std::string value;              // the text used
    std::string source;             // the file it came from: the skin or its override
    std::string kind;               // field 2 as used; "" when there is none
    std::string what;               // "text box", "picture", "button", "animation" or "nothing"
    std::string file;               // field 1 as used
    std::optional<EntryRect> rect;  // for the four kinds, after every rule
    // What a text box is for: the information box, the sound card's report,
    // or neither.
    std::string role;
    // Buttons.
    std::string command;
    std::string hoverSound;
    std::string clickSound;
    bool locked = false;
    // Animations: every frame's display time in milliseconds.
    std::vector<long> frameTimes;
    std::vector<Finding> findings;
};

struct CheckedSection {
    std::string file;  // theme-relative
    std::string section;
    int clientWidth = 0;  // the window the entries are laid out in
    int clientHeight = 0;
    std::vector<CheckedEntry> entries;
};

// One line of the volume panel: where the nth mixer line found shows its
// slider, label and switch. Without places the line is dropped.
struct CheckedVolumeLine {
    std::string key;  // "volume0"
    std::string value;
    std::optional<EntryRect> slider, label, mute;
    std::vector<Finding> findings;
};

struct ScreenSize {
    int width = 1024;
    int height = 768;
};

// Where a command line's program is looked for, as the system would look:
// true when found, false when not, nullopt where this machine cannot tell.
using ProgramFinder =
    std::function<std::optional<bool>(const std::string& program, const std::string& folder)>;

struct CheckOptions {
    ScreenSize screen;
    // The part of the screen the taskbar leaves, which the window fills.
    ScreenSize workArea;
    ProgramFinder findProgram;
};

struct ThemeCheck {
    ScreenSize screen;
    ScreenSize workArea;
    std::string layoutSkin;                 // theme-relative; "" when there is none
    std::vector<Finding> findings;          // about the theme's files and single keys
    CheckedSection main;                    // the layout skin's [DEFAULT]
    std::vector<CheckedVolumeLine> volume;  // the layout skin's [VOLUME]
    CheckedSection prompt;                  // terminal.skn's [INPUT]
    // The prompt's picture, whose size the prompt takes once it is built, and
    // its input box; nullopt without them.
    std::optional<ScreenSize> promptPicture;
    std::optional<EntryRect> inputBox;

    int Count(Severity severity) const;
    // 0 when clean, 1 with warnings, 2 with errors.
    int ExitCode() const;
};

// The window a panel has without a saved placement, by the panel's own
// rule: the whole work area.
ScreenSize MainWindowSize(ScreenSize workArea);

// The common screen height for a width (768 for 1024), or 3/4 of it.
int CommonScreenHeight(int width);

// Reads the theme in `folder` (with its trailing separator, as ProgramDir &
// ThemeDir name it) through the panel's own readers: terminal.skn, the layout
// skin the panel takes on that screen with its .ini override, and the
// prompt's [INPUT] and [STARTUP]. Names in the findings are relative to the
// folder, so a report reads the same wherever the theme lies.
ThemeCheck CheckTheme(Platform& os, const std::string& folder, const CheckOptions& options);

}  // namespace corvale
