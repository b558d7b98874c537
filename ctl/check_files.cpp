// The theme checker's reading and telling: keys through the panel's reader,
// pictures through its decoder, sounds as its player finds them, and each
// faulty file told once.
#include <algorithm>
#include <map>
#include <set>

#include "base/values.h"
#include "ctl/theme_checker.h"
#include "ctl/variant_faults.h"
#include "platform/system.h"
#include "platform/toolkit.h"

namespace corvale::check {
namespace {

// Every pixel of each row alike (`alongRows`), or of each column: stretching
// such a picture that way shows nothing but more of the same. A picture
// without pixels (known only by its headers) is taken as detailed.
bool SameAllAlong(const ::corvale::Picture& p, bool alongRows) {
    const std::vector<std::uint8_t> rgb = p.Rgb24();
    const auto w = static_cast<size_t>(p.Width()), h = static_cast<size_t>(p.Height());
    if (rgb.size() != w * h * 3) return false;
    auto at = [&](size_t x, size_t y) { return rgb.begin() + static_cast<std::ptrdiff_t>((y * w + x) * 3); };
    for (size_t y = 0; y < h; ++y)
        for (size_t x = 0; x < w; ++x) {
            const auto first = alongRows ? at(0, y) : at(x, 0);
            if (!std::equal(first, first + 3, at(x, y))) return false;
        }
    return true;
}

}  // namespace

std::string Quote(const std::string& text) { return "\"" + text + "\""; }

std::string Size(long width, long height) { return std::to_string(width) + "x" + std::to_string(height); }

std::string Where(const std::string& file, const std::string& section, const std::string& key) {
    std::string where = file;
    if (!section.empty()) where += " [" + section + "]";
    if (!key.empty()) where += " " + key;
    return where;
}

std::vector<std::string> CutAtCommas(const std::string& value, size_t count) {
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

bool ThemeChecker::Exists(const std::string& name) { return os_.files.FileLength(Folder() + name) >= 0; }

std::optional<std::string> ThemeChecker::Read(const std::string& section, const std::string& key,
                                              const std::string& name) {
    if (!ctx_.skin.ReadSkinValue(section, key, Folder() + name)) return std::nullopt;
    return ctx_.skin.SkinValue;
}

std::vector<Finding>& ThemeChecker::List(FindingList at) {
    switch (at.of) {
        case FindingList::Of::Main: return result_.main.entries.at(at.index).findings;
        case FindingList::Of::Prompt: return result_.prompt.entries.at(at.index).findings;
        case FindingList::Of::Volume: return result_.volume.at(at.index).findings;
        case FindingList::Of::Theme: break;
    }
    return result_.findings;
}

void ThemeChecker::Report(FindingList at, Severity severity, const std::string& where,
                          const std::string& text) {
    List(at).push_back({severity, where, text});
}

PicturePtr ThemeChecker::Picture(FindingList at, Severity severity, const std::string& where,
                                 const std::string& name) {
    if (PicturePtr picture = os_.toolkit.LoadPicture(Folder() + name)) {
        for (const VariantFault& variant : VariantFaults(os_, Folder(), name, *picture))
            FileFault(at, Severity::Warning, where, "variant", variant.file, variant.fault);
        return picture;
    }
    FileFault(at, severity, where, "picture", name, Exists(name) ? "does not decode" : "is missing");
    return nullptr;
}

void ThemeChecker::Sound(FindingList at, const std::string& where, const std::string& role,
                         const std::string& name) {
    if (name.empty() || EqualsNoCase(name, "none")) return;
    const bool fullPath = name.find(':') != std::string::npos;
    const std::string shown = fullPath ? name : name + ".wav";
    const std::int64_t length = os_.files.FileLength(fullPath ? name : Folder() + shown);
    if (length < 0) FileFault(at, Severity::Warning, where, role, shown, "is missing");
    else if (length == 0) FileFault(at, Severity::Warning, where, role, shown, "is empty");
}

void ThemeChecker::FileFault(FindingList at, Severity severity, const std::string& where,
                             const std::string& what, const std::string& file, const std::string& fault) {
    fileUses_.push_back({at, severity, where, what, file, fault});
}

// Each faulty file once, at its first use, with every other use named: a
// missing click sound is one problem, whatever number of buttons play it.
void ThemeChecker::TellFileFaults() {
    std::map<std::string, std::vector<const FileUse*>> byFile;
    std::vector<std::string> order;
    for (const FileUse& use : fileUses_) {
        const std::string key = UpperCase(use.file + "|" + use.fault);
        if (byFile[key].empty()) order.push_back(key);
        byFile[key].push_back(&use);
    }
    for (const std::string& key : order) {
        const auto& uses = byFile[key];
        const FileUse& first = *uses.front();
        Severity severity = first.severity;
        std::string others;
        // A key of the same file and section as the use before it needs no
        // more than its number.
        auto prefix = [](const std::string& where) { return where.substr(0, where.find_last_of(' ') + 1); };
        std::string previous = prefix(first.where);
        std::set<std::string> told{first.where};
        for (size_t i = 1; i < uses.size(); ++i) {
            severity = std::max(severity, uses[i]->severity);
            const std::string& where = uses[i]->where;
            if (!told.insert(where).second) continue;  // one entry's hover and click sound
            others += (others.empty() ? "" : ", ") +
                      (prefix(where) == previous ? where.substr(previous.size()) : where);
            previous = prefix(where);
        }
        Report(first.at, severity, first.where,
               first.what + " " + Quote(first.file) + " " + first.fault +
                   (others.empty() ? "" : " (also used by " + others + ")"));
    }
}

bool ThemeChecker::IsStretched(const ::corvale::Picture& p, const Shown& shown) {
    const EntryRect& r = shown.rect;
    if (r.width <= 0 || r.height <= 0) return false;  // nothing shows: told as such
    const bool wider = p.Width() != r.width && !shown.widthFromWindow;
    const bool taller = p.Height() != r.height && !shown.heightFromWindow;
    if (!wider && !taller) return false;
    return !((!wider || SameAllAlong(p, true)) && (!taller || SameAllAlong(p, false)));
}

void ThemeChecker::Stretched(FindingList at, const std::string& where, const std::string& what,
                             const ::corvale::Picture& p, const Shown& shown) {
    if (IsStretched(p, shown))
        Report(at, Severity::Warning, where,
               what + " is " + Size(p.Width(), p.Height()) + ", stretched to " +
                   Size(shown.rect.width, shown.rect.height));
}

void ThemeChecker::ButtonFace(FindingList at, const std::string& where, const std::string& what,
                              const ::corvale::Picture& p, const EntryRect& button) {
    if (button.width <= 0 || button.height <= 0) return;
    const bool short_ = p.Width() < button.width || p.Height() < button.height;
    const bool over = p.Width() > button.width || p.Height() > button.height;
    if (!short_ && !over) return;
    std::string effect = short_ ? "white shows where it does not reach" : "";
    if (over) effect += std::string(short_ ? " and " : "") + "what lies beyond the button is cut off";
    Report(at, Severity::Warning, where,
           what + " is " + Size(p.Width(), p.Height()) + " in a " + Size(button.width, button.height) +
               " button, which draws it at its own size: " + effect);
}

}  // namespace corvale::check
