// The theme checker's reading of numbered entries: each field as the layout
// builder cuts it, the rectangle it gets, and what each kind of entry needs.
#include <cmath>
#include <cstdio>

#include "base/values.h"
#include "commands/launch.h"
#include "commands/password_flag.h"
#include "ctl/theme_checker.h"
#include "image/gif_cut.h"
#include "platform/form_design.h"
#include "platform/system.h"
#include "platform/toolkit.h"
#include "skin/hover.h"
#include "skin/layout_builder.h"

namespace corvale::check {
namespace {

using image::FrameBytes;
using image::FrameDisplayTime;
using image::GifCutter;

// The prompt window's size while its face is built: its design size. It
// takes its picture's size only afterwards, when it is shaped.
constexpr ScreenSize kPromptDesignSize{kFormDesignWidth, kFormDesignHeight};

// Timer intervals are 16-bit where the first frame's time is handed over.
constexpr long kLongestInterval = 32767;

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

// Whether the Width (field 5) or Height (6) as read is counted from the
// window: a percentage, or a far edge the side reaches.
bool FromWindow(const std::vector<FieldReading>& trace, int number, bool zeroReachesEdge) {
    for (const FieldReading& field : trace) {
        if (field.number != number || !field.text) continue;
        if (field.text->ends_with('%')) return true;
        const double value = LeadingNumber(*field.text);
        return value < 0 || (zeroReachesEdge && value == 0);
    }
    return false;
}

bool IsControlPanelWord(const std::string& word) {
    return word.size() > 2 && word.starts_with("CP") &&
           word.find_first_not_of("0123456789", 2) == std::string::npos;
}

// Addresses and documents that the shell opens by their kind, not programs.
bool IsAddress(const std::string& file) {
    const std::string upper = UpperCase(file);
    return file.find("://") != std::string::npos || upper.starts_with("MAILTO:") || upper.starts_with("WWW.");
}

bool Inside(const EntryRect& r, ScreenSize area) {
    return r.left >= 0 && r.top >= 0 && r.left + r.width <= area.width && r.top + r.height <= area.height;
}

}  // namespace

void ThemeChecker::Entries(FindingList::Of of, const std::string& section, const std::string& skin,
                           ScreenSize client, std::optional<ScreenSize> shownSize) {
    CheckedSection& out = of == FindingList::Of::Main ? result_.main : result_.prompt;
    mainWindow_ = of == FindingList::Of::Main;
    textBoxes_ = 0;
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
        const FindingList at{of, out.entries.size()};
        CheckedEntry& entry = out.entries.emplace_back();
        entry.key = TwoDigitKey(number);
        entry.value = text->value;
        entry.source = text->overridden ? overrideName : skin;
        const std::string where = Where(entry.source, section, entry.key);
        const EntryState before = state;
        Entry(at, entry, where, state, client, number);
        if (shownSize && entry.rect) {
            FarEdgeOfPrompt(at, entry, where, before, *shownSize);
            OutsidePicture(at, where, *entry.rect, *shownSize);
        }
    }
    Unreached(section, skin, number);
    Unreached(section, overrideName, number);
}

// Keys after the first missing number are never read, in the skin or in its
// override.
void ThemeChecker::Unreached(const std::string& section, const std::string& name, long missing) {
    constexpr long kLookAhead = 100;
    std::vector<long> found;
    for (long later = missing + (name.ends_with(".ini") ? 0 : 1); later <= missing + kLookAhead; ++later)
        if (Read(section, TwoDigitKey(later), name)) found.push_back(later);
    if (found.empty()) return;
    const std::string more =
        found.size() > 1 ? ", nor are the " + std::to_string(found.size() - 1) + " numbered entries after it"
                         : "";
    Report(Severity::Warning, Where(name, section, TwoDigitKey(found.front())),
           "never read, since the skin's entries end at the missing " + TwoDigitKey(missing) + more);
}

void ThemeChecker::Entry(FindingList at, CheckedEntry& entry, const std::string& where, EntryState& state,
                         ScreenSize client, long number) {
    std::vector<FieldReading> trace;
    const ClientSize size{[client] { return client.width; }, [client] { return client.height; }};
    const EntryReading reading = ReadLayoutEntry(entry.value, state, size, &trace);
    entry.kind = reading.kind;
    entry.what = KindName(reading.kind);
    entry.file = reading.file;
    const bool kindCut = trace.size() > 1 && trace[1].text.has_value();
    if (!kindCut)
        Report(at, Severity::Error, where,
               entry.what == "nothing"
                   ? std::string("fewer than two commas: no kind can be cut, and the entry creates nothing")
                   : "fewer than two commas: no kind can be cut, so it is built as another " + entry.what +
                         " from what the entries before read");
    if (entry.what == "nothing") {
        if (kindCut)
            Report(
                at, Severity::Error, where,
                "kind " + Quote(reading.kind) +
                    " is none of L, P, B and A (one capital letter, no blanks): the entry creates nothing");
        return;
    }
    entry.rect = reading.rect;
    const auto written = CutAtCommas(entry.value, FieldCount(reading.kind));
    const std::set<int> shifted = Shifts(at, where, trace, written, reading.kind);
    Numbers(at, where, trace, shifted, reading.kind);
    if (reading.kind == "L") {
        Colours(at, where, reading, state);
        TextBox(at, entry, where);
        if (!entry.rect) return;
    }
    Geometry(at, where, *entry.rect, client);
    if (reading.kind == "P") StillPicture(at, entry, where, trace);
    if (reading.kind == "A") Animation(at, entry, where, trace);
    if (reading.kind == "B") Button(at, entry, where, reading, written, shifted, number);
}

// Fields the cutting rule reads differently from the way they are written:
// an empty field takes the comma after it, and a field past the last comma
// sends the next back to the start of the value.
std::set<int> ThemeChecker::Shifts(FindingList at, const std::string& where,
                                   const std::vector<FieldReading>& trace,
                                   const std::vector<std::string>& written, const std::string& kind) {
    std::set<int> shifted;
    std::string changes;
    for (const FieldReading& field : trace) {
        const auto index = static_cast<size_t>(field.number - 1);
        const std::optional<std::string> as =
            index < written.size() ? std::optional(written[index]) : std::nullopt;
        if (field.text == as) continue;
        shifted.insert(field.number);
        std::string change = field.name + " ";
        if (field.text) change += "reads " + Quote(*field.text);
        else change += field.number >= 3 ? "cannot be cut and keeps what was read before" : "cannot be cut";
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
    Report(at, Severity::Error, where, cause + ": " + changes);
    return shifted;
}

void ThemeChecker::Numbers(FindingList at, const std::string& where, const std::vector<FieldReading>& trace,
                           const std::set<int>& shifted, const std::string& kind) {
    for (const FieldReading& field : trace) {
        if (!field.text || shifted.count(field.number) || !IsNumberField(kind, field.number)) continue;
        std::string text = *field.text;
        if (kind == "P" && !text.empty() && text.back() == '%') text.pop_back();
        if (!WholeNumber(text))
            Report(at, Severity::Warning, where,
                   field.name + " " + Quote(*field.text) + " is not a number: it reads as " +
                       Number(LeadingNumber(text)));
        else if (!field.taken)
            Report(at, Severity::Warning, where,
                   field.name + " " + Quote(*field.text) + " does not fit: what was read before stays");
    }
}

void ThemeChecker::Colours(FindingList at, const std::string& where, const EntryReading& reading,
                           const EntryState& state) {
    auto one = [&](const char* what, const std::optional<Color>& color, const double(&parts)[3]) {
        if (!color) {
            Report(at, Severity::Warning, where,
                   std::string(what) + " " + Number(parts[0]) + "," + Number(parts[1]) + "," +
                       Number(parts[2]) + " has a component outside -32768..32767: the box keeps its colour");
            return;
        }
        for (const double part : parts)
            if (RoundHalfEven(part) < 0 || RoundHalfEven(part) > 255) {
                Report(at, Severity::Warning, where,
                       std::string(what) + " component " + Number(part) + " is limited to 0..255");
                return;
            }
    };
    one("background colour", reading.backColor, state.back);
    one("text colour", reading.foreColor, state.fore);
}

void ThemeChecker::Geometry(FindingList at, const std::string& where, const EntryRect& r, ScreenSize client,
                            const std::string& what) {
    const std::string subject = what.empty() ? "" : what + " ";
    if (r.width <= 0 || r.height <= 0)
        Report(at, Severity::Warning, where,
               subject + "is " + Size(r.width, r.height) + " pixels: nothing of it shows");
    else if (r.left >= client.width || r.top >= client.height || r.left + r.width <= 0 ||
             r.top + r.height <= 0)
        Report(at, Severity::Warning, where,
               subject + "lies outside the " + Size(client.width, client.height) + " window");
}

// The first text box is the information box and the second the sound
// card's report, whatever their first fields say; the prompt makes none.
void ThemeChecker::TextBox(FindingList at, CheckedEntry& entry, const std::string& where) {
    if (!mainWindow_) {
        entry.what = "nothing";
        entry.rect.reset();
        Report(at, Severity::Warning, where,
               "the prompt has no text boxes but its input box: the entry makes nothing");
        return;
    }
    ++textBoxes_;
    entry.role = textBoxes_ == 1   ? "information box"
                 : textBoxes_ == 2 ? "sound card's report"
                                   : "stays empty (only the first two text boxes are written)";
}

void ThemeChecker::StillPicture(FindingList at, const CheckedEntry& entry, const std::string& where,
                                const std::vector<FieldReading>& trace) {
    if (const PicturePtr picture = Picture(at, Severity::Error, where, entry.file))
        Stretched(at, where, "picture " + Quote(entry.file), *picture,
                  {*entry.rect, FromWindow(trace, 5, true), FromWindow(trace, 6, true)});
}

void ThemeChecker::Animation(FindingList at, CheckedEntry& entry, const std::string& where,
                             const std::vector<FieldReading>& trace) {
    const auto data = os_.files.ReadAll(Folder() + entry.file);
    if (!data) {
        FileFault(at, Severity::Error, where, "GIF", entry.file,
                  std::string(Exists(entry.file) ? "cannot be read" : "is missing") +
                      ": the animation has no frames");
        return;
    }
    GifCutter cutter(*data);
    std::vector<size_t> undecodable;
    PicturePtr shown;
    auto frame = [&](std::span<const std::uint8_t> chunk) {
        entry.frameTimes.push_back(FrameDisplayTime(chunk));
        PicturePtr picture = os_.toolkit.LoadPictureFromBytes(FrameBytes(cutter.Header(), chunk));
        if (!picture) undecodable.push_back(entry.frameTimes.size());
        else if (!shown) shown = std::move(picture);
    };
    while (const auto chunk = cutter.NextChunk()) frame(*chunk);
    if (const auto chunk = cutter.LastChunk()) frame(*chunk);
    if (entry.frameTimes.empty()) {
        FileFault(at, Severity::Error, where, "GIF", entry.file, "gives no frames");
        return;
    }
    if (!undecodable.empty()) {
        std::string list;
        for (const size_t n : undecodable) list += (list.empty() ? "" : ", ") + std::to_string(n);
        Report(at, Severity::Error, where,
               "GIF " + Quote(entry.file) + ": frame " + list + " of " +
                   std::to_string(entry.frameTimes.size()) + " does not decode and shows nothing");
    }
    if (shown)
        Stretched(at, where, "GIF " + Quote(entry.file), *shown,
                  {*entry.rect, FromWindow(trace, 5, false), FromWindow(trace, 6, false)});
    const long first = entry.frameTimes.front();
    if (first == 0 && entry.frameTimes.size() > 1)
        Report(at, Severity::Warning, where,
               "the first frame's delay is 0: the animation stays on its first frame");
    else if (first > kLongestInterval)
        Report(at, Severity::Warning, where,
               "the first frame's " + std::to_string(first) +
                   " ms are more than a timer takes: the animation keeps the timer's own interval");
}

void ThemeChecker::Button(FindingList at, CheckedEntry& entry, const std::string& where,
                          const EntryReading& reading, const std::vector<std::string>& written,
                          const std::set<int>& shifted, long number) {
    entry.command = reading.command;
    entry.hoverSound = reading.hoverSound.value_or("");
    entry.clickSound = reading.clickSound.value_or("");
    if (const PicturePtr face = Picture(at, Severity::Error, where, reading.file)) {
        ButtonFace(at, where, "picture " + Quote(reading.file), *face, *entry.rect);
        const std::string hover = HoverPicturePath(reading.file);
        if (!hover.empty()) {
            if (const PicturePtr lit = os_.toolkit.LoadPicture(Folder() + hover))
                ButtonFace(at, where, "hover picture " + Quote(hover), *lit, *entry.rect);
            else
                FileFault(at, Severity::Warning, where, "hover picture", hover,
                          std::string(Exists(hover) ? "does not decode" : "is missing") +
                              ": the button looks the same under the cursor");
        }
    }
    if (!shifted.count(7)) Sound(at, where, "hover sound", entry.hoverSound);
    if (!shifted.count(8)) Sound(at, where, "click sound", entry.clickSound);
    Command(at, where, entry.command);
    if (!mainWindow_) return;
    // Whether a click asks for the password, decided as a click decides it.
    ctx_.g.Main.ButtonEntry = {0, number};
    entry.locked = ButtonNeedsPassword(ctx_, 1);
    const std::string flag = written.size() > 8 ? written[8] : "";
    if (entry.locked && !ReadBoolean(flag))
        Report(at, Severity::Warning, where,
               "password flag " + Quote(flag) + " is not True, False or a number: the button is locked");
}

// A command as a click takes it: the panel's words and Control Panel codes,
// the prompt's own two words, and any other text a command line whose
// program must be found.
void ThemeChecker::Command(FindingList at, const std::string& where, const std::string& command) {
    const std::string word = UpperCase(command);
    if (command.empty()) {
        Report(at, Severity::Warning, where, "has no command: a click does nothing");
        return;
    }
    if (word == "QUIT" || (mainWindow_ ? AppletCode(word).has_value() : word == "OK")) return;
    if (IsControlPanelWord(word)) {
        Report(
            at, Severity::Warning, where,
            mainWindow_
                ? Quote(command) + " is no Control Panel code (CP01 to CP20): it runs as a command line"
                : "Control Panel codes mean nothing on the prompt: " + Quote(command) + " runs as a program");
        return;
    }
    const std::string program = SplitCommandLine(command).file;
    if (program.empty() || IsAddress(program) || !options_.findProgram) return;
    // Command lines start in ProgramDir, the folder that holds the theme.
    const std::string folder = Folder().substr(0, Folder().find_last_of("\\/", Folder().size() - 2) + 1);
    if (options_.findProgram(program, folder) == false)
        Report(at, Severity::Warning, where,
               "program " + Quote(program) +
                   " is not found here: a click starts it only where the user's PATH finds it");
}

// The prompt lays its entries out while it still has its design size;
// far-edge rules count from that, not from its picture.
void ThemeChecker::FarEdgeOfPrompt(FindingList at, const CheckedEntry& entry, const std::string& where,
                                   EntryState before, ScreenSize shown) {
    const ClientSize size{[shown] { return shown.width; }, [shown] { return shown.height; }};
    const EntryRect onPicture = ReadLayoutEntry(entry.value, before, size).rect;
    const EntryRect& r = *entry.rect;
    if (onPicture.left == r.left && onPicture.top == r.top && onPicture.width == r.width &&
        onPicture.height == r.height)
        return;
    Report(at, Severity::Warning, where,
           "counts from the prompt's edges while it is built (" +
               Size(kPromptDesignSize.width, kPromptDesignSize.height) + "), not from its " +
               Size(shown.width, shown.height) + " picture");
}

// The prompt takes its picture's size and outline: what lies beyond it is
// not part of the window.
void ThemeChecker::OutsidePicture(FindingList at, const std::string& where, const EntryRect& r,
                                  ScreenSize picture) {
    if (r.width <= 0 || r.height <= 0 || Inside(r, picture)) return;
    Report(at, Severity::Warning, where,
           "at " + std::to_string(r.left) + "," + std::to_string(r.top) + " " + Size(r.width, r.height) +
               " reaches beyond the prompt's " + Size(picture.width, picture.height) +
               " picture, which cuts it off");
}

}  // namespace corvale::check
