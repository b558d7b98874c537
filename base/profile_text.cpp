// Initialization-file text by the rules of the system's reader.
#include "base/profile_text.h"

#include "base/values.h"

namespace corvale {
namespace {

// The blanks the system's reader trims around names and values. All are
// ASCII, so trimming UTF-8 byte by byte never cuts a character.
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view TrimEnd(std::string_view text) {
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    return TrimEnd(text);
}

std::string_view Unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

// The name between "[" and "]" (or the end of the line when "]" is missing).
std::string_view SectionName(std::string_view line) {
    const std::size_t close = line.find(']');
    return Trim(line.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
}

// Calls `line` with each trimmed line of the text; stops when it returns false.
template <typename F>
void ForEachLine(std::string_view text, F line) {
    while (!text.empty()) {
        const std::size_t end = text.find_first_of("\r\n");
        const std::string_view current = Trim(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (!line(current)) return;
    }
}

bool IsSectionLine(std::string_view line) { return !line.empty() && line.front() == '['; }

// Calls `pair` with the name and value of each key of the first section
// named `section`, until it returns false.
template <typename F>
void ForEachKey(std::string_view text, std::string_view section, ProfileNameMatch same, F pair) {
    if (!same) same = [](std::string_view a, std::string_view b) { return EqualsNoCase(a, b); };
    bool inSection = false;
    ForEachLine(text, [&](std::string_view line) {
        if (IsSectionLine(line)) {
            if (inSection) return false;  // the section's first part has ended
            inSection = same(SectionName(line), section);
            return true;
        }
        const std::size_t equals = line.find('=');
        if (!inSection || equals == std::string_view::npos) return true;
        return pair(Trim(line.substr(0, equals)), Trim(line.substr(equals + 1)));
    });
}

}  // namespace

std::optional<std::string_view> FindProfileValue(std::string_view text, std::string_view section,
                                                 std::string_view key, ProfileNameMatch same) {
    const ProfileNameMatch match =
        same ? same : [](std::string_view a, std::string_view b) { return EqualsNoCase(a, b); };
    std::optional<std::string_view> found;
    ForEachKey(text, section, match, [&](std::string_view name, std::string_view value) {
        if (!match(name, key)) return true;
        found = Unquote(value);
        return false;
    });
    return found;
}

std::vector<std::string_view> ProfileKeys(std::string_view text, std::string_view section,
                                          ProfileNameMatch same) {
    std::vector<std::string_view> keys;
    ForEachKey(text, section, same, [&](std::string_view name, std::string_view) {
        if (!name.starts_with(';')) keys.push_back(name);
        return true;
    });
    return keys;
}

std::vector<std::string_view> ProfileSections(std::string_view text) {
    std::vector<std::string_view> sections;
    ForEachLine(text, [&](std::string_view line) {
        if (IsSectionLine(line)) sections.push_back(SectionName(line));
        return true;
    });
    return sections;
}

std::string_view ProfileFallback(std::string_view fallback) { return TrimEnd(fallback); }

}  // namespace corvale
