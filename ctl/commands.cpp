// corvalectl's commands: arguments, the remote-control keys and the output.
#include "ctl/commands.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <functional>

#include "app/startup.h"
#include "base/values.h"
#include "corvale_version.h"
#include "ctl/report.h"
#include "ctl/starter_theme.h"
#include "ctl/theme_check.h"
#include "skin/globals.h"

namespace corvale::ctl {
namespace {

constexpr char kUsage[] =
    "usage: corvalectl COMMAND [ARGUMENTS]\n"
    "  theme FOLDER [--if-unset]     make FOLDER, which holds terminal.skn, the panel's theme (with\n"
    "                                --if-unset only where no theme is chosen yet, as the installer does)\n"
    "  new FOLDER                    write a starter theme into FOLDER, a new or empty folder\n"
    "  close [--wait SECONDS]        ask the panel to close and wait until it has (30 s)\n"
    "  perform COMMAND [--wait SECONDS]\n"
    "                                perform the button whose command is COMMAND (1.5 s)\n"
    "  status [--json]               whether a panel runs, and the settings it starts with\n"
    "  check FOLDER [--width PIXELS] [--height PIXELS] [--work-area WIDTHxHEIGHT] [--json]\n"
    "                                read a theme as the panel would on this screen (or on\n"
    "                                one that size, less a taskbar) and name its problems\n"
    "  startup on|off|status         start the panel beside corvalectl when you sign in, or not, or\n"
    "                                say which (status: exit 0 on, 1 off)\n"
    "  forget FOLDER                 remove the theme settings and the start at sign-in where they\n"
    "                                point into FOLDER, as the uninstaller does\n"
    "  --version                     the version of corvalectl and the panel\n"
    "exit codes: 0 done, or a clean theme; 1 no panel to act on, no button with that command,\n"
    "            no such folder, or warnings; 2 timed out, failed, or errors; 3 bad arguments\n";

// The panel polls its remote-control keys every 500 ms: two polls and a
// margin for a busy machine.
constexpr double kPerformWait = 1.5;
constexpr double kCloseWait = 30;
constexpr double kLongestWait = 24 * 3600;
constexpr int kPollMs = 50;

// A stored text ends at its first NUL, so this fallback tells a missing
// setting from an empty one.
const std::string kUnset(1, '\0');

struct CommandShape {
    const char* name;
    const char* positional;  // what its one argument is; nullptr when it takes none
    bool wait;
    bool size;
    bool json;
    bool ifUnset;
};

constexpr CommandShape kCommandShapes[] = {
    {"theme", "a FOLDER", false, false, false, true},
    {"new", "a FOLDER", false, false, false, false},
    {"close", nullptr, true, false, false, false},
    {"perform", "a COMMAND", true, false, false, false},
    {"status", nullptr, false, false, true, false},
    {"check", "a FOLDER", false, true, true, false},
    {"startup", "on, off or status", false, false, false, false},
    {"forget", "a FOLDER", false, false, false, false},
};

struct Arguments {
    const CommandShape* shape = nullptr;
    std::string positional;
    std::optional<double> wait;
    std::optional<int> width;
    std::optional<int> height;
    std::optional<std::pair<int, int>> workArea;
    bool json = false;
    bool ifUnset = false;
};

std::optional<double> Seconds(const std::string& text) {
    if (text.empty()) return std::nullopt;
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(text.c_str(), &end);
    if (errno != 0 || *end != '\0' || !std::isfinite(value) || value < 0 || value > kLongestWait)
        return std::nullopt;
    return value;
}

std::optional<int> Pixels(const std::string& text) {
    const auto value = ReadLong(text);
    if (!value || text.find_first_not_of("0123456789") != std::string::npos || *value < 16 || *value > 100000)
        return std::nullopt;
    return static_cast<int>(*value);
}

// "1024x738": a width and a height in pixels.
std::optional<std::pair<int, int>> PixelSize(const std::string& text) {
    const size_t x = text.find('x');
    if (x == std::string::npos) return std::nullopt;
    const auto width = Pixels(text.substr(0, x));
    const auto height = Pixels(text.substr(x + 1));
    if (!width || !height) return std::nullopt;
    return std::pair{*width, *height};
}

// The arguments, or the one-line reason they are not right.
std::optional<Arguments> Parse(const std::vector<std::string>& args, std::string& problem) {
    Arguments parsed;
    for (const CommandShape& shape : kCommandShapes)
        if (args[0] == shape.name) parsed.shape = &shape;
    if (!parsed.shape) {
        problem = "unknown command \"" + args[0] + "\"";
        return std::nullopt;
    }
    const CommandShape& shape = *parsed.shape;
    bool havePositional = false;
    bool optionsEnded = false;
    for (size_t i = 1; i < args.size(); ++i) {
        std::string arg = args[i];
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            if (!shape.positional || havePositional) {
                problem = "unexpected argument \"" + arg + "\" for " + shape.name;
                return std::nullopt;
            }
            parsed.positional = arg;
            havePositional = true;
            continue;
        }
        std::string value;
        bool inlineValue = false;
        if (const size_t eq = arg.find('='); eq != std::string::npos) {
            value = arg.substr(eq + 1);
            arg.resize(eq);
            inlineValue = true;
        }
        const bool takesValue =
            (arg == "--wait" && shape.wait) ||
            ((arg == "--width" || arg == "--height" || arg == "--work-area") && shape.size);
        if (arg == "--json" && shape.json && !inlineValue) {
            parsed.json = true;
            continue;
        }
        if (arg == "--if-unset" && shape.ifUnset && !inlineValue) {
            parsed.ifUnset = true;
            continue;
        }
        if (!takesValue) {
            problem = "unknown option \"" + args[i] + "\" for " + shape.name;
            return std::nullopt;
        }
        if (!inlineValue) {
            if (i + 1 >= args.size()) {
                problem = arg + " needs a value";
                return std::nullopt;
            }
            value = args[++i];
        }
        if (arg == "--wait") {
            parsed.wait = Seconds(value);
            if (!parsed.wait) {
                problem = "--wait takes a number of seconds, not \"" + value + "\"";
                return std::nullopt;
            }
        } else if (arg == "--work-area") {
            parsed.workArea = PixelSize(value);
            if (!parsed.workArea) {
                problem = "--work-area takes WIDTHxHEIGHT in pixels, not \"" + value + "\"";
                return std::nullopt;
            }
        } else {
            auto& target = arg == "--width" ? parsed.width : parsed.height;
            target = Pixels(value);
            if (!target) {
                problem = arg + " takes a number of pixels, not \"" + value + "\"";
                return std::nullopt;
            }
        }
    }
    const std::string name = shape.name;
    if (shape.positional && !havePositional) {
        problem = name + " needs " + shape.positional;
        return std::nullopt;
    }
    if (name == "perform" && parsed.positional.empty()) {
        problem = "perform needs a COMMAND that is not empty";
        return std::nullopt;
    }
    const std::string& state = parsed.positional;
    if (name == "startup" && state != "on" && state != "off" && state != "status") {
        problem = "startup takes on, off or status, not \"" + state + "\"";
        return std::nullopt;
    }
    return parsed;
}

std::string Quote(const std::string& text) { return "\"" + text + "\""; }

// Paths compare as the file system compares them: without regard to case
// (of ASCII letters here, which is what installers and users vary), either
// slash for a separator.
std::string FoldPath(std::string path) {
    for (char& c : path) {
        if (c == '/') c = '\\';
        else if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return path;
}

// Whether the full path `path` is `folder` (a full path with its trailing
// separator) or lies inside it.
bool IsInside(const std::string& path, const std::string& folder) {
    return (FoldPath(path) + '\\').starts_with(FoldPath(folder));
}

// The program a command line starts: the quoted first word, or the whole
// line where nothing is quoted (a path with blanks need not be).
std::string ProgramOf(const std::string& command) {
    const size_t start = command.find_first_not_of(" \t");
    if (start == std::string::npos) return "";
    if (command[start] != '"') return command.substr(start);
    const size_t end = command.find('"', start + 1);
    return command.substr(start + 1, end == std::string::npos ? std::string::npos : end - start - 1);
}

// Asks `done` every poll until it holds or the time is up; its last answer.
bool WaitFor(System& system, double seconds, const std::function<bool()>& done) {
    const long long deadline =
        system.NowMilliseconds() + static_cast<long long>(std::llround(seconds * 1000));
    for (;;) {
        if (done()) return true;
        if (system.NowMilliseconds() >= deadline) return false;
        system.Pause(kPollMs);
    }
}

class Commands {
public:
    Commands(System& system, std::ostream& out, std::ostream& err) : system_(system), out_(out), err_(err) {}

    int Run(const Arguments& a) {
        const std::string name = a.shape->name;
        if (name == "check") return Check(a);
        if (name == "new") return New(a.positional);
        settings_ = system_.Settings();
        if (!settings_) {
            err_ << "corvalectl: " << name << " needs the panel's settings store, which only Windows has; "
                 << "here corvalectl only checks themes\n";
            return kUsageError;
        }
        if (name == "theme") return Theme(a.positional, a.ifUnset);
        if (name == "close") return Close(a.wait.value_or(kCloseWait));
        if (name == "perform") return Perform(a.positional, a.wait.value_or(kPerformWait));
        if (name == "startup") return Startup(a.positional);
        if (name == "forget") return Forget(a.positional);
        return Status(a.json);
    }

private:
    std::string Get(const std::string& section, const std::string& key, const std::string& fallback = "") {
        return settings_->Get(kSettingsApp, section, key, fallback);
    }
    bool Save(const std::string& section, const std::string& key, const std::string& value) {
        if (settings_->Save(kSettingsApp, section, key, value)) return true;
        err_ << "corvalectl: could not write " << section << "/" << key << " in the settings store\n";
        return false;
    }
    bool Delete(const std::string& section, const std::string& key) {
        if (settings_->Delete(kSettingsApp, section, key)) return true;
        err_ << "corvalectl: could not remove " << section << "/" << key << " from the settings store\n";
        return false;
    }
    // The theme folder the panel would start with, as it joins the two.
    std::string ChosenTheme() { return Get("Default", "ProgramDir") + Get("Default", "ThemeDir"); }

    int Theme(const std::string& typed, bool ifUnset) {
        const auto folder = system_.FullFolderPath(typed);
        if (!folder) {
            err_ << "corvalectl: there is no folder " << Quote(typed) << "\n";
            return 1;
        }
        if (system_.Files().FileLength(*folder + "terminal.skn") < 0) {
            err_ << "corvalectl: " << *folder << " holds no terminal.skn, so it is not a theme\n";
            return 1;
        }
        const auto split = SplitThemeFolder(*folder);
        if (!split) {
            err_ << "corvalectl: " << *folder << " has no parent folder to be the program folder\n";
            return 1;
        }
        if (const std::string chosen = ChosenTheme(); ifUnset && !chosen.empty()) {
            out_ << "the theme chosen already stays: " << chosen << "\n";
            return 0;
        }
        if (!Save("Default", "ProgramDir", split->programDir) ||
            !Save("Default", "ThemeDir", split->themeDir))
            return 2;
        out_ << "Default/ProgramDir = " << split->programDir << "\n"
             << "Default/ThemeDir = " << split->themeDir << "\n";
        if (system_.PanelRunning())
            out_ << "the running panel takes the theme when it next starts (corvalectl close, then start "
                    "it)\n";
        return 0;
    }

    int New(const std::string& typed) {
        std::string problem;
        const auto folder = system_.NewEmptyFolder(typed, problem);
        if (!folder) {
            err_ << "corvalectl: " << problem << "\n";
            return 1;
        }
        const auto files = StarterTheme();
        for (const auto& [name, bytes] : files)
            if (!system_.WriteNewFile(*folder + name, bytes)) {
                err_ << "corvalectl: could not write " << *folder << name << "\n";
                return 2;
            }
        out_ << "wrote a starter theme of " << files.size() << " files to " << *folder << "\n"
             << "check it:  corvalectl check " << Quote(*folder) << "\n"
             << "use it:    corvalectl theme " << Quote(*folder) << " on Windows, then start the panel\n";
        return 0;
    }

    int Close(double seconds) {
        if (!system_.PanelRunning()) {
            out_ << "no panel is running\n";
            return 1;
        }
        if (!Save("EXIT", kAppCaption, "1")) return 2;
        if (WaitFor(system_, seconds, [&] { return !system_.PanelRunning(); })) {
            out_ << "the panel has closed\n";
            return 0;
        }
        out_ << "the panel is still running after " << seconds << " s; the close request stays set\n";
        return 2;
    }

    int Perform(const std::string& command, double seconds) {
        if (!system_.PanelRunning()) {
            out_ << "no panel is running: nothing performed\n";
            return 1;
        }
        // The button may open the password prompt, which needs the keyboard;
        // Windows gives the foreground only to the program that had the
        // user's last input, and that is this one.
        system_.LetPanelComeForward();
        if (!Save("Voice", kProgramId, command)) return 2;
        std::string now;
        bool running = true;
        const bool changed = WaitFor(system_, seconds, [&] {
            now = Get("Voice", kProgramId);
            running = system_.PanelRunning();
            return now != command || !running;
        });
        if (changed && now.empty()) {
            out_ << "performed " << Quote(command) << "\n";
            return 0;
        }
        if (changed && now != command) {
            out_ << "another program replaced the command with " << Quote(now)
                 << " before the panel took it\n";
            return 2;
        }
        if (!running) {
            out_ << "the panel ended before it took the command\n";
            return 2;
        }
        // Cleared, so that a typo is not performed by a later panel or a
        // later button.
        if (Get("Voice", kProgramId) == command) Save("Voice", kProgramId, "");
        out_ << "no button of the panel has the command " << Quote(command)
             << " (commands match exactly, letter case too; a panel still starting takes none: try --wait); "
             << "it was withdrawn\n";
        return 1;
    }

    int Startup(const std::string& state) {
        const std::string program = system_.PanelProgram();
        const auto now = system_.LogonCommand();
        if (state == "status") {
            if (!now) {
                out_ << "off: the panel does not start at sign-in\n";
                return 1;
            }
            const bool here = FoldPath(ProgramOf(*now)) == FoldPath(program);
            out_ << "on: " << *now << (here ? "" : " (not the panel beside this corvalectl)") << "\n";
            return 0;
        }
        if (state == "off") {
            if (now && !system_.SetLogonCommand(std::nullopt)) {
                err_ << "corvalectl: could not remove the start at sign-in\n";
                return 2;
            }
            out_ << "off: the panel does not start at sign-in\n";
            return 0;
        }
        // A command that names no program would fail at every sign-in.
        if (system_.Files().FileLength(program) < 0) {
            err_ << "corvalectl: there is no panel at " << program << " to start\n";
            return 1;
        }
        if (!system_.SetLogonCommand(Quote(program))) {
            err_ << "corvalectl: could not write the start at sign-in\n";
            return 2;
        }
        out_ << "on: " << Quote(program) << "\n";
        return 0;
    }

    int Forget(const std::string& typed) {
        const auto folder = system_.FullFolderPath(typed);
        if (!folder) {
            err_ << "corvalectl: there is no folder " << Quote(typed) << "\n";
            return 1;
        }
        int code = 0;
        if (const std::string theme = ChosenTheme(); !theme.empty() && IsInside(theme, *folder)) {
            if (Delete("Default", "ProgramDir") && Delete("Default", "ThemeDir"))
                out_ << "removed Default/ProgramDir and Default/ThemeDir (" << theme << ")\n";
            else code = 2;
        } else if (!theme.empty()) {
            out_ << "Default/ProgramDir and Default/ThemeDir stay: " << theme << "\n";
        }
        if (const auto logon = system_.LogonCommand(); logon && IsInside(ProgramOf(*logon), *folder)) {
            if (system_.SetLogonCommand(std::nullopt)) {
                out_ << "removed the start at sign-in (" << *logon << ")\n";
            } else {
                err_ << "corvalectl: could not remove the start at sign-in\n";
                code = 2;
            }
        }
        return code;
    }

    int Status(bool json) {
        const bool running = system_.PanelRunning();
        const std::string programDir = Get("Default", "ProgramDir", kUnset);
        const std::string themeDir = Get("Default", "ThemeDir", kUnset);
        const std::string placed = Get("General", "Running", kUnset);
        const bool password = !Get("DEFAULT", "Password").empty();
        const char* keys[4] = {"Left", "Top", "Right", "Bottom"};
        std::string screen[4];
        for (int i = 0; i < 4; ++i) screen[i] = Get("Screen", keys[i], kUnset);
        const std::string folder =
            (programDir == kUnset ? "" : programDir) + (themeDir == kUnset ? "" : themeDir);
        const bool themeSkin = !folder.empty() && system_.Files().FileLength(folder + "terminal.skn") >= 0;
        const bool savedPlace = placed != kUnset && ReadBoolean(placed).value_or(false);
        if (json) {
            auto value = [](const std::string& v) { return v == kUnset ? std::string("null") : Json(v); };
            out_ << "{\"panelRunning\":" << (running ? "true" : "false")
                 << ",\"programDir\":" << value(programDir) << ",\"themeDir\":" << value(themeDir)
                 << ",\"themeFolder\":" << Json(folder)
                 << ",\"themeSkinFound\":" << (themeSkin ? "true" : "false")
                 << ",\"running\":" << value(placed) << ",\"placement\":{";
            for (int i = 0; i < 4; ++i) out_ << (i ? "," : "") << Json(keys[i]) << ":" << value(screen[i]);
            out_ << "},\"passwordSet\":" << (password ? "true" : "false") << "}\n";
            return 0;
        }
        auto shown = [](const std::string& v) { return v == kUnset ? std::string("(not set)") : v; };
        out_ << "panel       " << (running ? "running" : "not running") << "\n"
             << "ProgramDir  " << shown(programDir) << "\n"
             << "ThemeDir    " << shown(themeDir) << "\n"
             << "theme       " << (folder.empty() ? "(none)" : folder)
             << (themeSkin ? " (terminal.skn found)" : " (no terminal.skn there)") << "\n"
             << "Running     " << shown(placed)
             << (savedPlace ? ": the window takes the saved placement"
                            : ": the window fills the usable screen")
             << "\n"
             << "placement  ";
        for (int i = 0; i < 4; ++i) out_ << " " << keys[i] << " " << (screen[i] == kUnset ? "-" : screen[i]);
        out_ << "\n"
             << "password    " << (password ? "set" : "not set") << "\n";
        return 0;
    }

    int Check(const Arguments& a) {
        const auto folder = system_.FullFolderPath(a.positional);
        if (!folder) {
            err_ << "corvalectl: there is no folder " << Quote(a.positional) << "\n";
            return 2;
        }
        // The screen this runs on, as the panel would see it, unless told; a
        // screen that is told has no taskbar unless told too.
        const auto here = system_.ScreenPixels();
        const int width = a.width.value_or(here ? here->first : 1024);
        const int height = a.width ? CommonScreenHeight(width) : here ? here->second : 768;
        const ScreenSize screen{width, a.height.value_or(height)};
        const auto hereWork = a.width || a.height ? std::nullopt : system_.WorkAreaPixels();
        const auto work = a.workArea ? a.workArea : hereWork;
        const ScreenSize workArea = work ? ScreenSize{work->first, work->second} : screen;
        if (workArea.width > screen.width || workArea.height > screen.height) {
            err_ << "corvalectl: the work area " << workArea.width << "x" << workArea.height
                 << " is larger than the " << screen.width << "x" << screen.height << " screen\n"
                 << kUsage;
            return kUsageError;
        }
        const CheckOptions options{screen, workArea,
                                   [this](const std::string& program, const std::string& in) {
                                       return system_.FindProgram(program, in);
                                   }};
        const ThemeCheck check = CheckTheme(system_.ThemePlatform(*folder), *folder, options);
        if (a.json) PrintCheckJson(check, *folder, out_);
        else PrintCheckText(check, *folder, out_);
        return check.ExitCode();
    }

    System& system_;
    std::ostream& out_;
    std::ostream& err_;
    SettingsStore* settings_ = nullptr;
};

}  // namespace

std::optional<ThemeSettings> SplitThemeFolder(const std::string& fullPath) {
    std::string path = fullPath;
    while (!path.empty() && (path.back() == '\\' || path.back() == '/')) path.pop_back();
    const size_t cut = path.find_last_of("\\/");
    if (cut == std::string::npos || cut + 1 >= path.size()) return std::nullopt;
    const char separator = path[cut];
    return ThemeSettings{path.substr(0, cut + 1), path.substr(cut + 1) + separator};
}

int Run(const std::vector<std::string>& args, System& system, std::ostream& out, std::ostream& err) {
    if (args.empty() || args[0] == "help" || args[0] == "--help" || args[0] == "-h") {
        (args.empty() ? err : out) << kUsage;
        return args.empty() ? kUsageError : 0;
    }
    if (args.size() == 1 && args[0] == "--version") {
        out << "Corvale " << CORVALE_VERSION_TEXT << "\n";
        return 0;
    }
    std::string problem;
    const auto parsed = Parse(args, problem);
    if (!parsed) {
        err << "corvalectl: " << problem << "\n" << kUsage;
        return kUsageError;
    }
    return Commands(system, out, err).Run(*parsed);
}

}  // namespace corvale::ctl
