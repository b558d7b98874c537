// Starting what a button command names: the control-panel applets and
// folders of the command words, and any other command line.
#pragma once

#include <optional>
#include <string>

#include "platform/launcher.h"
#include "platform/types.h"

namespace corvale {

constexpr const char* kAppletPrefix = "rundll32.exe shell32.dll,Control_RunDLL ";
constexpr const char* kPrintersFolder = "rundll32.exe shell32.dll,SHHelpShortcuts_RunDLL PrintersFolder";
constexpr const char* kShellFoldersKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// The number 1..20 of a command word "CP01".."CP20" (already upper-cased),
// or nullopt for any other text.
std::optional<int> AppletCode(const std::string& upperCommand);

// The applet string of a code on the NT family or on 95/98/ME; "" for the two
// codes that open folders instead (CP06 on NT, CP16).
std::string AppletString(int code, bool nt);

void RunControlPanelApplet(Launcher& launcher, const std::string& applet);

// Starts applet code 1..20 as the platform family wants it.
void RunAppletCode(Launcher& launcher, int code, bool nt);

// A command line cut into the file to open and its parameters.
struct CommandLineParts {
    std::string file;
    std::string parameters;
};
CommandLineParts SplitCommandLine(const std::string& text);

// Opens any other command text through the shell, in `directory`.
void LaunchCommandLine(Launcher& launcher, WindowHandle owner, const std::string& text,
                       const std::string& directory);

// The text of one registry value: a string as it is, a number in decimal,
// "" when the value is missing or cannot be read.
std::string ReadRegString(Launcher& launcher, const std::string& subKey, const std::string& valueName,
                          RegistryRoot root);

}  // namespace corvale
