// corvalectl's commands: arguments, the remote-control keys and the output.
#include "ctl/commands.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <functional>

#include "app/startup.h"
#include "base/values.h"
#include "ctl/report.h"
#include "ctl/theme_check.h"
#include "skin/globals.h"

namespace corvale::ctl {
namespace {

constexpr char kUsage[] =
    "usage: corvalectl COMMAND [ARGUMENTS]\n"
    "  theme FOLDER                  make FOLDER, which holds terminal.skn, the panel's theme\n"
    "  close [--wait SECONDS]        ask the panel to close and wait until it has (30 s)\n"
    "  perform COMMAND [--wait SECONDS]\n"
    "                                perform the button whose command is COMMAND (1.5 s)\n"
    "  status [--json]               whether a panel runs, and the settings it starts with\n"
    "  check FOLDER [--width PIXELS] [--height PIXELS] [--json]\n"
    "                                read a theme as the panel would on this screen (or one\n"
    "                                that wide) and name its problems\n"
    "exit codes: 0 done, or a clean theme; 1 no panel to act on, no button with that command,\n"
    "            or warnings; 2 timed out, failed, or errors; 3 bad arguments\n";

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
    bool positional;  // takes one argument
    bool wait;
    bool size;
    bool json;
};

constexpr CommandShape kCommandShapes[] = {
    {"theme", true, false, false, false},  {"close", false, true, false, false},
    {"perform", true, true, false, false}, {"status", false, false, false, true},
    {"check", true, false, true, true},
};

struct Arguments {
    const CommandShape* shape = nullptr;
    std::string positional;
    std::optional<double> wait;
    std::optional<int> width;
    std::optional<int> height;
    bool json = false;
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
            (arg == "--wait" && shape.wait) || ((arg == "--width" || arg == "--height") && shape.size);
        if (arg == "--json" && shape.json && !inlineValue) {
            parsed.json = true;
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
        } else {
            auto& target = arg == "--width" ? parsed.width : parsed.height;
            target = Pixels(value);
            if (!target) {
                problem = arg + " takes a number of pixels, not \"" + value + "\"";
                return std::nullopt;
            }
        }
    }
    if (shape.positional && !havePositional) {
        problem = std::string(shape.name) + " needs " +
                  (std::string(shape.name) == "perform" ? "a COMMAND" : "a FOLDER");
        return std::nullopt;
    }
    if (std::string(shape.name) == "perform" && parsed.positional.empty()) {
        problem = "perform needs a COMMAND that is not empty";
        return std::nullopt;
    }
    return parsed;
}

std::string Quote(const std::string& text) { return "\"" + text + "\""; }

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
        settings_ = system_.Settings();
        if (!settings_) {
            err_ << "corvalectl: " << name << " needs the panel's settings store, which only Windows has; "
                 << "here corvalectl only checks themes\n";
            return kUsageError;
        }
        if (name == "theme") return Theme(a.positional);
        if (name == "close") return Close(a.wait.value_or(kCloseWait));
        if (name == "perform") return Perform(a.positional, a.wait.value_or(kPerformWait));
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

    int Theme(const std::string& typed) {
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
        // The screen this runs on, as the panel would see it, unless told.
        const auto here = system_.ScreenPixels();
        const int width = a.width.value_or(here ? here->first : 1024);
        const int height = a.width ? CommonScreenHeight(width) : here ? here->second : 768;
        const ScreenSize screen{width, a.height.value_or(height)};
        const ThemeCheck check = CheckTheme(system_.ThemePlatform(*folder), *folder, screen);
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
    std::string problem;
    const auto parsed = Parse(args, problem);
    if (!parsed) {
        err << "corvalectl: " << problem << "\n" << kUsage;
        return kUsageError;
    }
    return Commands(system, out, err).Run(*parsed);
}

}  // namespace corvale::ctl
