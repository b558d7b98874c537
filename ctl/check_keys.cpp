// The theme checker's look at the sections and keys a skin holds but the
// panel never reads: a misspelt key is a setting that silently does nothing.
#include <algorithm>
#include <cctype>

#include "base/profile_text.h"
#include "base/values.h"
#include "ctl/theme_checker.h"
#include "platform/system.h"
#include "skin/skin_keys.h"

namespace corvale::check {
namespace {

// A skin's text for listing its names: a byte-order mark dropped, UTF-16
// brought down to its ASCII letters (names the panel reads are ASCII; any
// other letter only has to stay a letter that matches none of them).
std::string NamesText(const std::vector<std::uint8_t>& bytes) {
    auto starts = [&](std::initializer_list<std::uint8_t> mark) {
        return bytes.size() >= mark.size() && std::equal(mark.begin(), mark.end(), bytes.begin());
    };
    std::string text;
    if (starts({0xFF, 0xFE}) || starts({0xFE, 0xFF})) {
        const size_t low = starts({0xFF, 0xFE}) ? 0 : 1;
        for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
            const unsigned unit = bytes[i + low] | (bytes[i + 1 - low] << 8);
            text += unit < 0x80 ? static_cast<char>(unit) : '?';
        }
        return text;
    }
    const size_t skip = starts({0xEF, 0xBB, 0xBF}) ? 3 : 0;
    return std::string(bytes.begin() + static_cast<std::ptrdiff_t>(skip), bytes.end());
}

std::vector<std::string> KnownKeys(SkinFile file, const std::string& section) {
    std::vector<std::string> names;
    for (const SkinKeys& row : kSkinKeys)
        if (row.file == file && EqualsNoCase(row.section, section))
            for (std::string& name : KeyNames(row)) names.push_back(std::move(name));
    return names;
}

// What was probably meant: a number written as the panel asks for it ("1"
// is read as "01"), or the nearest name the panel reads there.
std::string Suggestion(SkinFile file, const std::string& section, const std::string& key) {
    const bool digits = !key.empty() && key.size() < 9 && std::all_of(key.begin(), key.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c)) != 0;
    });
    if (digits) {
        const std::string asked = TwoDigitKey(std::stol(key));
        return PanelReadsKey(file, section, asked) ? asked : "";
    }
    return NearestName(key, KnownKeys(file, section));
}

std::string DidYouMean(const std::string& name) {
    return name.empty() ? "" : " (did you mean " + name + "?)";
}

}  // namespace

std::optional<std::vector<std::string>> ThemeChecker::SectionKeys(const std::string& name,
                                                                  const std::string& section) {
    const auto bytes = os_.files.ReadAll(Folder() + name);
    if (!bytes) return std::nullopt;
    const std::string text = NamesText(*bytes);
    const auto sections = ProfileSections(text);
    if (std::none_of(sections.begin(), sections.end(),
                     [&](std::string_view s) { return EqualsNoCase(s, section); }))
        return std::nullopt;
    std::vector<std::string> keys;
    for (const std::string_view key : ProfileKeys(text, section)) keys.emplace_back(key);
    return keys;
}

// Sections and keys of the file the panel never asks for, and those written
// twice, of which the reader only ever finds the first.
void ThemeChecker::UnreadKeys(const std::string& name) {
    const auto bytes = os_.files.ReadAll(Folder() + name);
    if (!bytes) return;
    const SkinFile file = SkinFileOf(name);
    const std::string text = NamesText(*bytes);
    std::vector<std::string> seen;
    for (const std::string_view written : ProfileSections(text)) {
        const std::string section(written);
        const bool again = std::any_of(seen.begin(), seen.end(),
                                       [&](const std::string& s) { return EqualsNoCase(s, section); });
        seen.push_back(section);
        if (again) {
            Report(Severity::Warning, Where(name, section, ""),
                   "comes twice: the panel reads only the first [" + section + "]");
            continue;
        }
        if (!PanelReadsSection(file, section)) {
            const auto known = SectionNames(file);
            const std::string near = NearestName(section, known);
            Report(Severity::Warning, Where(name, section, ""),
                   "is a section the panel never reads" + DidYouMean(near.empty() ? "" : "[" + near + "]"));
            continue;
        }
        std::vector<std::string> keys;
        for (const std::string_view k : ProfileKeys(text, section)) {
            const std::string key(k);
            const bool twice = std::any_of(
                keys.begin(), keys.end(), [&](const std::string& other) { return EqualsNoCase(other, key); });
            keys.push_back(key);
            if (twice)
                Report(Severity::Warning, Where(name, section, key),
                       "comes twice: the panel reads only the first " + key);
            else if (!PanelReadsKey(file, section, key))
                Report(Severity::Warning, Where(name, section, key),
                       "is a key the panel never reads" + DidYouMean(Suggestion(file, section, key)));
        }
    }
}

}  // namespace corvale::check
