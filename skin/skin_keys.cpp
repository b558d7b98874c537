// The sections and keys the panel reads, and what is near a mistyped one.
#include "skin/skin_keys.h"

#include <algorithm>
#include <cctype>

#include "base/values.h"

namespace corvale {
namespace {

std::string Padded(int number, int digits) {
    std::string text = std::to_string(number);
    if (static_cast<int>(text.size()) < digits)
        text.insert(0, static_cast<size_t>(digits) - text.size(), '0');
    return text;
}

bool IsNumbered(const SkinKeys& row) { return row.first >= 0; }

bool RowReads(const SkinKeys& row, std::string_view key) {
    if (!IsNumbered(row)) return EqualsNoCase(key, row.name);
    const std::string_view name = row.name;
    if (key.size() <= name.size() || !EqualsNoCase(key.substr(0, name.size()), name)) return false;
    const std::string_view number = key.substr(name.size());
    if (number.size() > 9 || !std::all_of(number.begin(), number.end(), [](char c) {
            return std::isdigit(static_cast<unsigned char>(c)) != 0;
        }))
        return false;
    const int n = std::stoi(std::string(number));
    return n >= row.first && (row.last == kNoEnd || n <= row.last) && Padded(n, row.digits) == number;
}

size_t EditDistance(std::string_view a, std::string_view b) {
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const bool same = std::toupper(static_cast<unsigned char>(a[i - 1])) ==
                              std::toupper(static_cast<unsigned char>(b[j - 1]));
            const size_t next = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
            diagonal = row[j];
            row[j] = next;
        }
    }
    return row[b.size()];
}

}  // namespace

SkinFile SkinFileOf(std::string_view path) {
    const size_t slash = path.find_last_of("\\/");
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const bool ini = name.size() >= 4 && EqualsNoCase(name.substr(name.size() - 4), ".ini");
    if (name.size() >= 9 && EqualsNoCase(name.substr(0, 9), "terminal."))
        return ini ? SkinFile::ThemeOverride : SkinFile::Theme;
    return ini ? SkinFile::LayoutOverride : SkinFile::Layout;
}

bool PanelReadsKey(SkinFile file, std::string_view section, std::string_view key) {
    return std::any_of(std::begin(kSkinKeys), std::end(kSkinKeys), [&](const SkinKeys& row) {
        return row.file == file && EqualsNoCase(section, row.section) && RowReads(row, key);
    });
}

bool PanelReadsSection(SkinFile file, std::string_view section) {
    const auto names = SectionNames(file);
    return std::any_of(names.begin(), names.end(),
                       [&](const std::string& s) { return EqualsNoCase(s, section); });
}

std::vector<std::string> KeyNames(const SkinKeys& row) {
    if (!IsNumbered(row)) return {row.name};
    std::vector<std::string> names;
    const int last = row.last == kNoEnd ? row.first : row.last;
    for (int n = row.first; n <= last; ++n) names.push_back(row.name + Padded(n, row.digits));
    return names;
}

std::vector<std::string> SectionNames(SkinFile file) {
    std::vector<std::string> names;
    for (const SkinKeys& row : kSkinKeys)
        if (row.file == file && std::find(names.begin(), names.end(), row.section) == names.end())
            names.push_back(row.section);
    return names;
}

std::string NearestName(std::string_view typed, std::span<const std::string> known) {
    const size_t allowed = 1 + typed.size() / 4;
    std::string nearest;
    size_t best = allowed + 1;
    for (const std::string& name : known) {
        const size_t distance = EditDistance(typed, name);
        if (distance < best) {
            best = distance;
            nearest = name;
        }
    }
    return nearest;
}

}  // namespace corvale
