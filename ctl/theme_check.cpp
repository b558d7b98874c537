// The theme checker: every file and value of a theme read through the same
// readers the panel uses, with what the panel will make of each.
#include "ctl/theme_check.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <set>

#include "app/startup.h"
#include "base/values.h"
#include "commands/password_flag.h"
#include "ctl/variant_faults.h"
#include "image/gif_cut.h"
#include "platform/form_design.h"
#include "platform/system.h"
#include "platform/toolkit.h"
#include "prompt/frm_input.h"
#include "skin/context.h"
#include "skin/hover.h"
#include "skin/layout_builder.h"

namespace corvale {
namespace {

using image::FrameBytes;
using image::FrameDisplayTime;
using image::GifCutter;

// The prompt window's size while its face is built: its design size. It
// takes its picture's size only afterwards, when it is shaped.
constexpr ScreenSize kPromptDesignSize{kFormDesignWidth, kFormDesignHeight};

// Timer intervals are 16-bit where the first frame's time is handed over.
constexpr long kLongestInterval = 32767;

std::string Quote(const std::string& text) { return "\"" + text + "\""; }

std::string Number(double value) {
    if (std::floor(value) == value && std::fabs(value) < 1e15)
        return std::to_string(static_cast<long long>(value));
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%g", value);
    return buffer;
}

std::string KindName(const std::string& kind) {
    if (kind == "L") return "text box";
    if (kind == "P") return "picture";
    if (kind == "B") return "button";
    if (kind == "A") return "animation";
    return "nothing";
}

// How many fields an entry of the kind has, the last running to the end.
size_t FieldCount(const std::string& kind) {
    if (kind == "L") return 14;
    if (kind == "B") return 10;
    return 6;
}

bool IsNumberField(const std::string& kind, int number) {
    if (number >= 3 && number <= 6) return true;
    return kind == "L" && ((number >= 7 && number <= 12) || number == 14);
}

// The fields as the author wrote them: cut at every comma, the last of the
// kind running to the end of the value.
std::vector<std::string> AsWritten(const std::string& value, size_t count) {
    std::vector<std::string> fields;
    size_t start = 0;
    while (fields.size() + 1 < count) {
        const size_t comma = value.find(',', start);
        if (comma == std::string::npos) break;
        fields.push_back(value.substr(start, comma - start));
        start = comma + 1;
    }
    fields.push_back(value.substr(start));
    return fields;
}

class ThemeChecker {
public:
    ThemeChecker(Platform& os, const std::string& folder, ScreenSize screen) : os_(os), ctx_(os) {
        ctx_.g.ProgramDir = folder;
        ctx_.g.AppCaption = kAppCaption;
        ctx_.g.ProgramId = kProgramId;
        result_.screen = screen;
    }

    ThemeCheck Run() {
        ThemeSkin();
        if (const auto layout = ChooseLayoutSkin()) {
            LayoutSkinValues(*layout);
            const ScreenSize client = MainClientSize(result_.screen);
            Entries(result_.main, "DEFAULT", *layout, client, true);
        }
        Prompt();
        return std::move(result_);
    }

private:
    std::string Folder() const { return ctx_.g.ThemeFolder(); }
    bool Exists(const std::string& name) { return os_.files.FileLength(Folder() + name) >= 0; }

    static std::string Where(const std::string& file, const std::string& section, const std::string& key) {
        std::string where = file;
        if (!section.empty()) where += " [" + section + "]";
        if (!key.empty()) where += " " + key;
        return where;
    }

    void Report(std::vector<Finding>& into, Severity severity, const std::string& where,
                const std::string& text) {
        into.push_back({severity, where, text});
    }
    void Report(Severity severity, const std::string& where, const std::string& text) {
        Report(result_.findings, severity, where, text);
    }

    // The key's value, or nullopt when the panel finds no such key.
    std::optional<std::string> Read(const std::string& section, const std::string& key,
                                    const std::string& name) {
        if (!ctx_.skin.ReadSkinValue(section, key, Folder() + name)) return std::nullopt;
        return ctx_.skin.SkinValue;
    }

    void Boolean(const std::string& name, const std::string& section, const std::string& key,
                 const char* fallback) {
        const auto value = Read(section, key, name);
        if (value && !ReadBoolean(*value))
            Report(Severity::Warning, Where(name, section, key),
                   Quote(*value) + " is not True, False or a number: " + fallback + " stays");
    }

    void Whole(const std::string& name, const std::string& section, const std::string& key) {
        const auto value = Read(section, key, name);
        if (value && !ReadLong(*value))
            Report(Severity::Warning, Where(name, section, key),
                   Quote(*value) + " is not a whole number: the pause stays 0");
    }

    // A sound as the player resolves it: a name with a colon is a full path,
    // any other a .wav of the theme folder. An empty name plays nothing, by
    // the skin's choice.
    void Sound(std::vector<Finding>& into, const std::string& where, const std::string& what,
               const std::string& name) {
        if (name.empty()) return;
        const bool fullPath = name.find(':') != std::string::npos;
        const std::string shown = fullPath ? name : name + ".wav";
        const std::int64_t length = os_.files.FileLength(fullPath ? name : Folder() + shown);
        if (length < 0) Report(into, Severity::Warning, where, what + " " + Quote(shown) + " is missing");
        else if (length == 0) Report(into, Severity::Warning, where, what + " " + Quote(shown) + " is empty");
    }

    void SoundKey(const std::string& name, const std::string& section, const std::string& key) {
        if (const auto value = Read(section, key, name))
            Sound(result_.findings, Where(name, section, key), "sound", *value);
    }

    // The picture the toolkit decodes, or an error naming what is wrong.
    PicturePtr Picture(std::vector<Finding>& into, Severity severity, const std::string& where,
                       const std::string& what, const std::string& name) {
        if (PicturePtr picture = os_.toolkit.LoadPicture(Folder() + name)) {
            for (const std::string& fault : VariantFaults(os_, Folder(), name, *picture))
                Report(into, Severity::Warning, where, fault);
            return picture;
        }
        Report(into, severity, where,
               what + " " + Quote(name) + (Exists(name) ? " does not decode" : " is missing"));
        return nullptr;
    }

    void ThemeSkin() {
        const std::string theme = "terminal.skn";
        if (!Exists(theme)) {
            Report(Severity::Error, theme,
                   "missing: the panel runs without its switches and sounds, and the password prompt "
                   "has no face");
            return;
        }
        Boolean(theme, "DEFAULT", "Animated", "False");
        Whole(theme, "DEFAULT", "AnimDelay");
        Boolean(theme, "DEFAULT", "Sound", "True");
        Boolean(theme, "DEFAULT", "Multiple", "False");
        for (const char* key : {"PassStartSound", "PassFailSound", "PassOkSound"})
            SoundKey(theme, "DEFAULT", key);
    }

    // The skin named after the screen width when it has [DEFAULT]
    // BackGround, else the general one; nullopt when that is missing too.
    std::optional<std::string> ChooseLayoutSkin() {
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

    void LayoutSkinValues(const std::string& layout) {
        if (const auto value = Read("DEFAULT", "BackGround", layout)) {
            const std::string where = Where(layout, "DEFAULT", "BackGround");
            if (!ParseBackGround(*value)) {
                Report(Severity::Error, where,
                       Quote(*value) + " has fewer than two commas: the window keeps its design colour");
            } else {
                const auto parts = AsWritten(*value, 3);
                ColourParts(result_.findings, where, "BackGround", parts, 0);
            }
        }
        SoundKey(layout, "DEFAULT", "StartupSound");
    }

    // Colour components read by the leading-number rule, limited to 0..255.
    void ColourParts(std::vector<Finding>& into, const std::string& where, const std::string& what,
                     const std::vector<std::string>& parts, size_t first) {
        static const char* const kNames[3] = {"red", "green", "blue"};
        for (size_t i = 0; i < 3 && first + i < parts.size(); ++i) {
            const std::string& text = parts[first + i];
            const auto number = WholeNumber(text);
            if (!number)
                Report(into, Severity::Warning, where,
                       what + " " + kNames[i] + " " + Quote(text) + " is not a number: it reads as " +
                           Number(static_cast<double>(LeadingInteger(text))));
            else if (*number < 0 || *number > 255)
                Report(into, Severity::Warning, where,
                       what + " " + kNames[i] + " " + Number(*number) + " is limited to 0..255");
        }
    }

    // ---- numbered entries ----------------------------------------------------

    void Entries(CheckedSection& out, const std::string& section, const std::string& skin, ScreenSize client,
                 bool mainWindow, std::optional<ScreenSize> shownSize = std::nullopt) {
        out.file = skin;
        out.section = section;
        out.clientWidth = client.width;
        out.clientHeight = client.height;
        const std::string skinFile = Folder() + skin;
        const std::string overrideFile = OverrideFilePath(skinFile);
        const std::string overrideName = OverrideFilePath(skin);
        EntryState state;
        long number = 1;
        for (;; ++number) {
            const auto text = ReadLayoutEntryText(ctx_.skin, section, number, skinFile, overrideFile);
            if (!text) break;
            CheckedEntry entry;
            entry.key = TwoDigitKey(number);
            entry.value = text->value;
            entry.source = text->overridden ? overrideName : skin;
            const std::string where = Where(entry.source, section, entry.key);
            EntryState before = state;
            Entry(entry, where, state, client, mainWindow, number);
            if (shownSize) FarEdgeOfPrompt(entry, where, before, *shownSize);
            out.entries.push_back(std::move(entry));
        }
        Unreached(section, skin, number);
        Unreached(section, overrideName, number);
    }

    // Keys after the first missing number are never read, in the skin or
    // in its override.
    void Unreached(const std::string& section, const std::string& name, long missing) {
        constexpr long kLookAhead = 100;
        std::vector<long> found;
        for (long later = missing + (name.ends_with(".ini") ? 0 : 1); later <= missing + kLookAhead; ++later)
            if (Read(section, TwoDigitKey(later), name)) found.push_back(later);
        if (found.empty()) return;
        const std::string more = found.size() > 1 ? ", nor are the " + std::to_string(found.size() - 1) +
                                                        " numbered entries after it"
                                                  : "";
        Report(Severity::Warning, Where(name, section, TwoDigitKey(found.front())),
               "never read, since the skin's entries end at the missing " + TwoDigitKey(missing) + more);
    }

    void Entry(CheckedEntry& entry, const std::string& where, EntryState& state, ScreenSize client,
               bool mainWindow, long number) {
        std::vector<FieldReading> trace;
        const ClientSize size{[client] { return client.width; }, [client] { return client.height; }};
        const EntryReading reading = ReadLayoutEntry(entry.value, state, size, &trace);
        auto& findings = entry.findings;
        entry.kind = reading.kind;
        entry.what = KindName(reading.kind);
        entry.file = reading.file;
        const bool kindCut = trace.size() > 1 && trace[1].text.has_value();
        if (!kindCut) {
            Report(
                findings, Severity::Error, where,
                entry.what == "nothing"
                    ? std::string("fewer than two commas: no kind can be cut, and the entry creates nothing")
                    : "fewer than two commas: no kind can be cut, so it is built as another " + entry.what +
                          " from what the entries before read");
        }
        if (entry.what == "nothing") {
            if (kindCut)
                Report(findings, Severity::Error, where,
                       "kind " + Quote(reading.kind) +
                           " is none of L, P, B and A (one capital letter, no blanks): the entry creates "
                           "nothing");
            return;
        }
        entry.rect = reading.rect;
        const auto written = AsWritten(entry.value, FieldCount(reading.kind));
        const std::set<int> shifted = Shifts(findings, where, trace, written, reading.kind);
        Numbers(findings, where, trace, shifted, reading.kind);
        if (reading.kind == "L") Colours(findings, where, reading, state);
        Geometry(findings, where, *entry.rect, client);
        if (reading.kind == "P") Picture(findings, Severity::Error, where, "picture", reading.file);
        if (reading.kind == "A") Animation(entry, where);
        if (reading.kind == "B") Button(entry, where, reading, written, shifted, mainWindow, number);
    }

    // Fields the cutting rule reads differently from the way they are
    // written: an empty field takes the comma after it, and a field past the
    // last comma sends the next back to the start of the value.
    std::set<int> Shifts(std::vector<Finding>& findings, const std::string& where,
                         const std::vector<FieldReading>& trace, const std::vector<std::string>& written,
                         const std::string& kind) {
        std::set<int> shifted;
        std::string changes;
        for (const FieldReading& field : trace) {
            const auto at = static_cast<size_t>(field.number - 1);
            const std::optional<std::string> as =
                at < written.size() ? std::optional(written[at]) : std::nullopt;
            if (field.text == as) continue;
            shifted.insert(field.number);
            std::string change = field.name + " ";
            if (field.text) change += "reads " + Quote(*field.text);
            else
                change +=
                    field.number >= 3 ? "cannot be cut and keeps what was read before" : "cannot be cut";
            change += as ? " (written " + Quote(*as) + ")" : " (nothing written)";
            changes += (changes.empty() ? "" : "; ") + change;
        }
        if (shifted.empty()) return shifted;
        std::string cause;
        const size_t count = FieldCount(kind);
        for (size_t i = 1; i + 1 < std::min(written.size(), count) && cause.empty(); ++i)
            if (written[i].empty())
                cause = "field " + std::to_string(i + 1) + " is empty, which shifts the fields after it";
        if (cause.empty() && written.size() < count)
            cause = "the entry has " + std::to_string(written.size()) + " fields where a " + KindName(kind) +
                    " has " + std::to_string(count);
        if (cause.empty()) cause = "the fields shift";
        Report(findings, Severity::Error, where, cause + ": " + changes);
        return shifted;
    }

    void Numbers(std::vector<Finding>& findings, const std::string& where,
                 const std::vector<FieldReading>& trace, const std::set<int>& shifted,
                 const std::string& kind) {
        for (const FieldReading& field : trace) {
            if (!field.text || shifted.count(field.number) || !IsNumberField(kind, field.number)) continue;
            std::string text = *field.text;
            if (kind == "P" && !text.empty() && text.back() == '%') text.pop_back();
            if (!WholeNumber(text))
                Report(findings, Severity::Warning, where,
                       field.name + " " + Quote(*field.text) + " is not a number: it reads as " +
                           Number(LeadingNumber(text)));
            else if (!field.taken)
                Report(findings, Severity::Warning, where,
                       field.name + " " + Quote(*field.text) + " does not fit: what was read before stays");
        }
    }

    void Colours(std::vector<Finding>& findings, const std::string& where, const EntryReading& reading,
                 const EntryState& state) {
        auto one = [&](const char* what, const std::optional<Color>& color, const double(&parts)[3]) {
            if (!color) {
                Report(findings, Severity::Warning, where,
                       std::string(what) + " " + Number(parts[0]) + "," + Number(parts[1]) + "," +
                           Number(parts[2]) +
                           " has a component outside -32768..32767: the box keeps its colour");
                return;
            }
            for (const double part : parts)
                if (RoundHalfEven(part) < 0 || RoundHalfEven(part) > 255) {
                    Report(findings, Severity::Warning, where,
                           std::string(what) + " component " + Number(part) + " is limited to 0..255");
                    return;
                }
        };
        one("background colour", reading.backColor, state.back);
        one("text colour", reading.foreColor, state.fore);
    }

    void Geometry(std::vector<Finding>& findings, const std::string& where, const EntryRect& r,
                  ScreenSize client) {
        const std::string size = std::to_string(client.width) + "x" + std::to_string(client.height);
        if (r.width <= 0 || r.height <= 0)
            Report(findings, Severity::Warning, where,
                   "is " + std::to_string(r.width) + "x" + std::to_string(r.height) +
                       " pixels: nothing of it shows");
        else if (r.left >= client.width || r.top >= client.height || r.left + r.width <= 0 ||
                 r.top + r.height <= 0)
            Report(findings, Severity::Warning, where, "lies outside the " + size + " window");
    }

    // The prompt lays its entries out while it still has its design size;
    // far-edge rules count from that, not from its picture.
    void FarEdgeOfPrompt(CheckedEntry& entry, const std::string& where, EntryState before, ScreenSize shown) {
        if (!entry.rect) return;
        const ClientSize size{[shown] { return shown.width; }, [shown] { return shown.height; }};
        const EntryRect onPicture = ReadLayoutEntry(entry.value, before, size).rect;
        const EntryRect& r = *entry.rect;
        if (onPicture.left == r.left && onPicture.top == r.top && onPicture.width == r.width &&
            onPicture.height == r.height)
            return;
        Report(entry.findings, Severity::Warning, where,
               "counts from the prompt's edges while it is built (" +
                   std::to_string(kPromptDesignSize.width) + "x" + std::to_string(kPromptDesignSize.height) +
                   "), not from its " + std::to_string(shown.width) + "x" + std::to_string(shown.height) +
                   " picture");
    }

    void Animation(CheckedEntry& entry, const std::string& where) {
        auto& findings = entry.findings;
        const auto data = os_.files.ReadAll(Folder() + entry.file);
        if (!data) {
            Report(findings, Severity::Error, where,
                   "GIF " + Quote(entry.file) + (Exists(entry.file) ? " cannot be read" : " is missing") +
                       ": the animation has no frames");
            return;
        }
        if (const PicturePtr first = os_.toolkit.LoadPicture(Folder() + entry.file))
            for (const std::string& fault : VariantFaults(os_, Folder(), entry.file, *first))
                Report(findings, Severity::Warning, where, fault);
        GifCutter cutter(*data);
        std::vector<size_t> undecodable;
        auto frame = [&](std::span<const std::uint8_t> chunk) {
            entry.frameTimes.push_back(FrameDisplayTime(chunk));
            if (!os_.toolkit.LoadPictureFromBytes(FrameBytes(cutter.Header(), chunk)))
                undecodable.push_back(entry.frameTimes.size());
        };
        while (const auto chunk = cutter.NextChunk()) frame(*chunk);
        if (const auto chunk = cutter.LastChunk()) frame(*chunk);
        if (entry.frameTimes.empty()) {
            Report(findings, Severity::Error, where, "GIF " + Quote(entry.file) + " gives no frames");
            return;
        }
        if (!undecodable.empty()) {
            std::string list;
            for (const size_t n : undecodable) list += (list.empty() ? "" : ", ") + std::to_string(n);
            Report(findings, Severity::Error, where,
                   "GIF " + Quote(entry.file) + ": frame " + list + " of " +
                       std::to_string(entry.frameTimes.size()) + " does not decode and shows nothing");
        }
        const long first = entry.frameTimes.front();
        if (first == 0 && entry.frameTimes.size() > 1)
            Report(findings, Severity::Warning, where,
                   "the first frame's delay is 0: the animation stays on its first frame");
        else if (first > kLongestInterval)
            Report(findings, Severity::Warning, where,
                   "the first frame's " + std::to_string(first) +
                       " ms are more than a timer takes: " + "the animation keeps the timer's own interval");
    }

    void Button(CheckedEntry& entry, const std::string& where, const EntryReading& reading,
                const std::vector<std::string>& written, const std::set<int>& shifted, bool mainWindow,
                long number) {
        auto& findings = entry.findings;
        entry.command = reading.command;
        entry.hoverSound = reading.hoverSound.value_or("");
        entry.clickSound = reading.clickSound.value_or("");
        if (Picture(findings, Severity::Error, where, "picture", reading.file)) {
            const std::string hover = HoverPicturePath(reading.file);
            if (const PicturePtr lit = hover.empty() ? nullptr : os_.toolkit.LoadPicture(Folder() + hover))
                for (const std::string& fault : VariantFaults(os_, Folder(), hover, *lit))
                    Report(findings, Severity::Warning, where, fault);
            if (!hover.empty() && !os_.toolkit.LoadPicture(Folder() + hover))
                Report(findings, Severity::Warning, where,
                       "hover picture " + Quote(hover) +
                           (Exists(hover) ? " does not decode" : " is missing") +
                           ": the button looks the same under the cursor");
        }
        if (!shifted.count(7)) Sound(findings, where, "hover sound", entry.hoverSound);
        if (!shifted.count(8)) Sound(findings, where, "click sound", entry.clickSound);
        if (entry.command.empty())
            Report(findings, Severity::Warning, where, "has no command: a click does nothing");
        if (!mainWindow) return;
        // Whether a click asks for the password, decided as a click decides it.
        ctx_.g.Main.ButtonEntry = {0, number};
        entry.locked = ButtonNeedsPassword(ctx_, 1);
        const std::string flag = written.size() > 8 ? written[8] : "";
        if (entry.locked && !ReadBoolean(flag))
            Report(findings, Severity::Warning, where,
                   "password flag " + Quote(flag) + " is not True, False or a number: the button is locked");
    }

    // ---- the password prompt -------------------------------------------------

    void Prompt() {
        const std::string theme = "terminal.skn";
        if (!Exists(theme)) return;
        std::optional<ScreenSize> shown;
        if (const auto background = Read("INPUT", "BackGround", theme)) {
            if (const PicturePtr picture =
                    Picture(result_.findings, Severity::Error, Where(theme, "INPUT", "BackGround"), "picture",
                            *background))
                shown = ScreenSize{picture->Width(), picture->Height()};
        }
        PromptFields(theme, "MaskColor", 3, "the mask colour is black");
        PromptFields(theme, "InputBox", 12, "the text box keeps its designed place, colours and font");
        Boolean(theme, "STARTUP", "Animated", "False");
        Whole(theme, "STARTUP", "AnimDelay");
        Entries(result_.prompt, "INPUT", theme, kPromptDesignSize, false, shown);
    }

    // MaskColor and InputBox: comma-separated numbers (the InputBox's font
    // name aside), cut by the prompt's own rule.
    void PromptFields(const std::string& theme, const char* key, int count, const char* otherwise) {
        const auto value = Read("INPUT", key, theme);
        if (!value) return;
        const std::string where = Where(theme, "INPUT", key);
        const auto fields = SplitPromptFields(*value, count);
        if (!fields) {
            Report(Severity::Warning, where,
                   Quote(*value) + " has fewer than " + std::to_string(count) +
                       " fields, or an empty one after the first: " + otherwise);
            return;
        }
        const size_t numbers = count == 12 ? 10 : 3;
        for (size_t i = 0; i < numbers; ++i)
            if (!WholeNumber((*fields)[i]))
                Report(Severity::Warning, where,
                       "field " + std::to_string(i + 1) + " " + Quote((*fields)[i]) +
                           " is not a number: it reads as " +
                           Number(static_cast<double>(LeadingInteger((*fields)[i]))));
    }

    Platform& os_;
    Context ctx_;
    ThemeCheck result_;
};

}  // namespace

int ThemeCheck::Count(Severity severity) const {
    auto count = [severity](const std::vector<Finding>& list) {
        return static_cast<int>(std::count_if(
            list.begin(), list.end(), [severity](const Finding& f) { return f.severity == severity; }));
    };
    int total = count(findings);
    for (const CheckedSection* section : {&main, &prompt})
        for (const CheckedEntry& entry : section->entries) total += count(entry.findings);
    return total;
}

int ThemeCheck::ExitCode() const {
    if (Count(Severity::Error) > 0) return 2;
    return Count(Severity::Warning) > 0 ? 1 : 0;
}

ScreenSize MainClientSize(ScreenSize screen) { return {screen.width - 8, screen.height - 8}; }

int CommonScreenHeight(int width) {
    static const std::pair<int, int> kScreens[] = {{640, 480},   {800, 600},   {1024, 768},  {1152, 864},
                                                   {1280, 1024}, {1366, 768},  {1440, 900},  {1600, 1200},
                                                   {1680, 1050}, {1920, 1080}, {2560, 1440}, {3840, 2160}};
    for (const auto& [w, h] : kScreens)
        if (w == width) return h;
    return width * 3 / 4;
}

ThemeCheck CheckTheme(Platform& os, const std::string& folder, ScreenSize screen) {
    return ThemeChecker(os, folder, screen).Run();
}

}  // namespace corvale
