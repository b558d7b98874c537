// The applet table and the command-line launcher.
#include "commands/launch.h"

#include <array>

namespace corvale {
namespace {

struct AppletRow {
    const char* nt;
    const char* win9x;
};

// "" marks the rows that open a folder rather than an applet. The strings are
// handed to the control panel exactly as written, blanks included.
constexpr std::array<AppletRow, 20> kApplets = {{
    {"odbccp32.cpl", "odbccp32.cpl"},  // CP01 ODBC data sources
    {"hdwwiz.cpl", "sysdm.cpl @1"},    // CP02 add new hardware
    {"appwiz.cpl", "appwiz.cpl,,1"},   // CP03 add or remove programs
    {"timedate.cpl", "timedate.cpl"},  // CP04 date and time
    {"desk.cpl,,0", "desk.cpl,,0"},    // CP05 display
    {"", "main.cpl @3"},               // CP06 fonts (the Fonts folder on NT)
    {"inetcpl.cpl", "inetcpl.cpl"},    // CP07 internet options
    {"joy.cpl", "joy.cpl"},            // CP08 game controllers
    {"main.cpl @1", "main.cpl @1"},    // CP09 keyboard
    {"telephon.cpl ,1", "modem.cpl"},  // CP10 modems
    {"main.cpl @0", "main.cpl @0"},    // CP11 mouse
    {"mmsys.cpl ,1", "mmsys.cpl,,0"},  // CP12 audio devices
    {"ncpa.cpl", "netcpl.cpl"},        // CP13 network
    {"nusrmgr.cpl", "password.cpl"},   // CP14 user accounts
    {"powercfg.cpl", "powercfg.cpl"},  // CP15 power options
    {"", ""},                          // CP16 the Printers folder
    {"intl.cpl,,0", "intl.cpl,,0"},    // CP17 regional settings
    {"mmsys.cpl", "mmsys.cpl @1"},     // CP18 sounds
    {"sysdm.cpl,,0", "sysdm.cpl,,0"},  // CP19 system
    {"telephon.cpl", "telephon.cpl"},  // CP20 telephony
}};

constexpr SystemProgram kRundll32{SystemFolder::System, "rundll32.exe"};
constexpr SystemProgram kExplorer{SystemFolder::Windows, "explorer.exe"};

constexpr int kFonts = 6;
constexpr int kPrinters = 16;

}  // namespace

std::optional<int> AppletCode(const std::string& upperCommand) {
    if (upperCommand.size() != 4 || upperCommand.compare(0, 2, "CP") != 0) return std::nullopt;
    const char tens = upperCommand[2];
    const char ones = upperCommand[3];
    if (tens < '0' || tens > '9' || ones < '0' || ones > '9') return std::nullopt;
    const int code = (tens - '0') * 10 + (ones - '0');
    if (code < 1 || code > 20) return std::nullopt;
    return code;
}

std::string AppletString(int code, bool nt) {
    if (code < 1 || code > 20) return "";
    const AppletRow& row = kApplets[static_cast<size_t>(code - 1)];
    return nt ? row.nt : row.win9x;
}

void RunControlPanelApplet(Launcher& launcher, const std::string& applet) {
    launcher.StartSystemProgram(kRundll32, kAppletPrefix + applet, WindowState::NormalFocus);
}

void RunAppletCode(Launcher& launcher, int code, bool nt) {
    if (code == kPrinters) {
        launcher.StartSystemProgram(kRundll32, kPrintersFolder, WindowState::MinimizedFocus);
    } else if (code == kFonts && nt) {
        // Started even when the path cannot be read: explorer then opens its default view.
        const std::string fonts =
            ReadRegString(launcher, kShellFoldersKey, "Fonts", RegistryRoot::CurrentUser);
        launcher.StartSystemProgram(kExplorer, "explorer " + fonts, WindowState::NormalFocus);
    } else if (code >= 1 && code <= 20) {
        RunControlPanelApplet(launcher, AppletString(code, nt));
    }
}

CommandLineParts SplitCommandLine(const std::string& text) {
    if (!text.empty() && text[0] == '"') {
        const size_t close = text.find('"', 1);
        // An opening quote that is never closed quotes the whole rest.
        if (close == std::string::npos) return {text.substr(1), ""};
        return {text.substr(1, close - 1), text.substr(close + 1)};
    }
    const size_t space = text.find(' ', 1);
    if (space == std::string::npos) {
        // No space after the first character: the whole text is the file. A
        // lone leading blank is not part of any file name.
        return {text.size() > 1 && text[0] == ' ' ? text.substr(1) : text, ""};
    }
    return {text.substr(0, space), text.substr(space + 1)};
}

void LaunchCommandLine(Launcher& launcher, WindowHandle owner, const std::string& text,
                       const std::string& directory) {
    const CommandLineParts parts = SplitCommandLine(text);
    launcher.ShellOpen(owner, parts.file, parts.parameters, directory);
}

std::string ReadRegString(Launcher& launcher, const std::string& subKey, const std::string& valueName,
                          RegistryRoot root) {
    const RegistryValue read = launcher.ReadRegistry(root, subKey, valueName);
    if (read.code != 0) return "";
    if (const auto* text = std::get_if<std::string>(&read.value)) return *text;
    if (const auto* number = std::get_if<std::uint32_t>(&read.value)) return std::to_string(*number);
    return "";
}

}  // namespace corvale
