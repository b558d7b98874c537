// The theme checker: every file and value of a theme read through the same
// readers the panel uses, with what the panel will make of each.
#include "ctl/theme_check.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "app/startup.h"
#include "base/values.h"
#include "ctl/theme_checker.h"
#include "platform/system.h"
#include "skin/layout_builder.h"

namespace corvale {
namespace check {
namespace {

std::string Number(double value) {
    if (std::floor(value) == value && std::fabs(value) < 1e15)
        return std::to_string(static_cast<long long>(value));
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%g", value);
    return buffer;
}

}  // namespace

ThemeChecker::ThemeChecker(Platform& os, const std::string& folder, const CheckOptions& options)
    : os_(os), ctx_(os), options_(options) {
    ctx_.g.ProgramDir = folder;
    ctx_.g.AppCaption = kAppCaption;
    ctx_.g.ProgramId = kProgramId;
    result_.screen = options.screen;
    result_.workArea = options.workArea;
}

ThemeCheck ThemeChecker::Run() {
    ThemeSkin();
    if (const auto layout = ChooseLayoutSkin()) {
        LayoutSkinValues(*layout);
        const ScreenSize window = MainWindowSize(result_.workArea);
        Entries(FindingList::Of::Main, "DEFAULT", *layout, window);
        Info(*layout);
        Volume(*layout, window);
        UnreadKeys(*layout);
        UnreadKeys(OverrideFilePath(*layout));
    }
    Prompt();
    UnreadKeys("terminal.skn");
    UnreadKeys("Terminal.ini");
    TellFileFaults();
    return std::move(result_);
}

void ThemeChecker::Boolean(const std::string& name, const std::string& section, const std::string& key,
                           const char* fallback) {
    const auto value = Read(section, key, name);
    if (value && !ReadBoolean(*value))
        Report(Severity::Warning, Where(name, section, key),
               Quote(*value) + " is not True, False or a number: " + fallback + " stays");
}

void ThemeChecker::Whole(const std::string& name, const std::string& section, const std::string& key) {
    const auto value = Read(section, key, name);
    if (value && !ReadLong(*value))
        Report(Severity::Warning, Where(name, section, key),
               Quote(*value) + " is not a whole number: the pause stays 0");
}

void ThemeChecker::SoundKey(const std::string& name, const std::string& section, const std::string& key) {
    if (const auto value = Read(section, key, name)) Sound({}, Where(name, section, key), "sound", *value);
}

void ThemeChecker::ThemeSkin() {
    const std::string theme = "terminal.skn";
    if (!Exists(theme)) {
        Report(
            Severity::Error, theme,
            "missing: the panel runs without its switches and sounds, and the password prompt has no face");
        return;
    }
    Boolean(theme, "DEFAULT", "Animated", "False");
    Whole(theme, "DEFAULT", "AnimDelay");
    Boolean(theme, "DEFAULT", "Sound", "True");
    Boolean(theme, "DEFAULT", "Multiple", "False");
    for (const char* key : {"PassStartSound", "PassFailSound", "PassOkSound"})
        SoundKey(theme, "DEFAULT", key);
    if (Exists("none.wav"))
        Report(Severity::Warning, "none.wav",
               "exists, so a sound named \"none\" plays it instead of nothing");
}

// The skin named after the screen width when it has [DEFAULT] BackGround,
// else the general one; nullopt when that is missing too.
std::optional<std::string> ThemeChecker::ChooseLayoutSkin() {
    const std::string widthSkin = WidthLayoutSkinName(kProgramId, result_.screen.width) + ".skn";
    std::string chosen = widthSkin;
    ctx_.g.LayoutSkinName = WidthLayoutSkinName(kProgramId, result_.screen.width);
    if (!Read("DEFAULT", "BackGround", widthSkin)) {
        if (Exists(widthSkin))
            Report(Severity::Warning, Where(widthSkin, "DEFAULT", ""),
                   "has no BackGround key, so the panel takes " + std::string(kProgramId) +
                       ".skn instead on this screen");
        ctx_.g.LayoutSkinName = kProgramId;
        chosen = std::string(kProgramId) + ".skn";
    }
    if (!Exists(chosen)) {
        Report(Severity::Error, chosen,
               "missing: with neither " + widthSkin + " nor this layout skin the face stays empty");
        return std::nullopt;
    }
    result_.layoutSkin = chosen;
    return chosen;
}

void ThemeChecker::LayoutSkinValues(const std::string& layout) {
    if (const auto value = Read("DEFAULT", "BackGround", layout)) {
        const std::string where = Where(layout, "DEFAULT", "BackGround");
        if (!ParseBackGround(*value))
            Report(Severity::Error, where,
                   Quote(*value) + " has fewer than two commas: the window keeps its design colour");
        else ColourParts({}, where, "BackGround", CutAtCommas(*value, 3), 0);
    }
    SoundKey(layout, "DEFAULT", "StartupSound");
}

// Colour components read by the leading-number rule, limited to 0..255.
void ThemeChecker::ColourParts(FindingList at, const std::string& where, const std::string& what,
                               const std::vector<std::string>& parts, size_t first) {
    static const char* const kNames[3] = {"red", "green", "blue"};
    for (size_t i = 0; i < 3 && first + i < parts.size(); ++i) {
        const std::string& text = parts[first + i];
        const auto number = WholeNumber(text);
        if (!number)
            Report(at, Severity::Warning, where,
                   what + " " + kNames[i] + " " + Quote(text) + " is not a number: it reads as " +
                       Number(static_cast<double>(LeadingInteger(text))));
        else if (*number < 0 || *number > 255)
            Report(at, Severity::Warning, where,
                   what + " " + kNames[i] + " " + Number(*number) + " is limited to 0..255");
    }
}

}  // namespace check

int ThemeCheck::Count(Severity severity) const {
    auto count = [severity](const std::vector<Finding>& list) {
        return static_cast<int>(std::count_if(
            list.begin(), list.end(), [severity](const Finding& f) { return f.severity == severity; }));
    };
    int total = count(findings);
    for (const CheckedSection* section : {&main, &prompt})
        for (const CheckedEntry& entry : section->entries) total += count(entry.findings);
    for (const CheckedVolumeLine& line : volume) total += count(line.findings);
    return total;
}

int ThemeCheck::ExitCode() const {
    if (Count(Severity::Error) > 0) return 2;
    return Count(Severity::Warning) > 0 ? 1 : 0;
}

ScreenSize MainWindowSize(ScreenSize workArea) {
    // Skin pixels: 15 twips each, as at 96 dots per inch.
    constexpr int kTwips = 15;
    const TwipsRect placement =
        MainWindowPlacement(Rect{0, 0, workArea.width, workArea.height}, kTwips, kTwips, std::nullopt);
    return {static_cast<int>(std::lround(placement.width / kTwips)),
            static_cast<int>(std::lround(placement.height / kTwips))};
}

int CommonScreenHeight(int width) {
    static const std::pair<int, int> kScreens[] = {{640, 480},   {800, 600},   {1024, 768},  {1152, 864},
                                                   {1280, 1024}, {1366, 768},  {1440, 900},  {1600, 1200},
                                                   {1680, 1050}, {1920, 1080}, {2560, 1440}, {3840, 2160}};
    for (const auto& [w, h] : kScreens)
        if (w == width) return h;
    return width * 3 / 4;
}

ThemeCheck CheckTheme(Platform& os, const std::string& folder, const CheckOptions& options) {
    return check::ThemeChecker(os, folder, options).Run();
}

}  // namespace corvale
