// corvalectl: install a theme, close the panel, perform a button, show the
// settings, check a theme, and start the panel at sign-in, from a console, a
// script or the installer.
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "platform/platform.h"
#include "platform/system.h"

namespace corvale::ctl {

// Exit codes besides each command's own 0, 1 and 2.
constexpr int kUsageError = 3;

// What the commands need of the machine they run on.
class System {
public:
    virtual ~System() = default;
    // The folder as a full path with its trailing separator; nullopt when
    // there is no such folder.
    virtual std::optional<std::string> FullFolderPath(const std::string& typed) = 0;
    virtual FileSystem& Files() = 0;
    // `typed` made a new folder (its parent must be there), or taken when it
    // is an empty one: its full path with the trailing separator; nullopt
    // with the reason in `problem` otherwise.
    virtual std::optional<std::string> NewEmptyFolder(const std::string& typed, std::string& problem) = 0;
    // Writes a file that is not there yet; false when it cannot, and when a
    // file of that name is there, which is left as it was.
    virtual bool WriteNewFile(const std::string& path, std::span<const std::uint8_t> bytes) = 0;
    // The platform that reads the theme in `folder` for the checker.
    virtual Platform& ThemePlatform(const std::string& folder) = 0;
    // nullptr where the panel's settings store cannot be reached.
    virtual SettingsStore* Settings() = 0;
    // Whether the panel's main window is on the desktop.
    virtual bool PanelRunning() = 0;
    // Lets the running panel take the foreground from this program, which
    // the user just typed to; nothing where there is no such rule.
    virtual void LetPanelComeForward() = 0;
    // The screen's size in pixels where there is one, and the part of it the
    // taskbar leaves: the checker's default.
    virtual std::optional<std::pair<int, int>> ScreenPixels() = 0;
    virtual std::optional<std::pair<int, int>> WorkAreaPixels() = 0;
    // Whether a command line's program can be found from `folder` as the
    // system finds programs; nullopt where this machine cannot tell.
    virtual std::optional<bool> FindProgram(const std::string& program, const std::string& folder) = 0;
    virtual void Pause(int milliseconds) = 0;
    virtual long long NowMilliseconds() = 0;
    // The full path of the panel's program that sits beside this one.
    virtual std::string PanelProgram() = 0;
    // The command the system runs for the panel when the user signs in;
    // nullopt when there is none.
    virtual std::optional<std::string> LogonCommand() = 0;
    // Writes the command, or removes it (nullopt); false when the system refused.
    virtual bool SetLogonCommand(const std::optional<std::string>& command) = 0;
};

// Runs the command line (without the program's name); returns the exit code.
int Run(const std::vector<std::string>& args, System& system, std::ostream& out, std::ostream& err);

// The installer's two settings for a theme folder given as a full path:
// the parent with its trailing separator, and the folder's own name with
// one. nullopt for a path without a parent (a drive's root).
struct ThemeSettings {
    std::string programDir;
    std::string themeDir;
};
std::optional<ThemeSettings> SplitThemeFolder(const std::string& fullPath);

}  // namespace corvale::ctl
