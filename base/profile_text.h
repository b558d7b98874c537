// The text of an initialization file taken apart as the system's reader
// does, for the skin files that reader cannot take (UTF-8 with a mark).
#pragma once

#include <optional>
#include <string_view>
#include <vector>

namespace corvale {

// Whether two section or key names are the same one. The system's reader
// folds case across Unicode; the portable default folds ASCII letters.
using ProfileNameMatch = bool (*)(std::string_view a, std::string_view b);

// The value of `key` in the first section named `section` of UTF-8 `text`:
// lines end at CR or LF, blanks around names and values are dropped, the
// first matching key is taken, a value in matching quotes loses them, and a
// second section of the same name is never reached. nullopt when the key is
// not there. The result points into `text`.
std::optional<std::string_view> FindProfileValue(std::string_view text, std::string_view section,
                                                 std::string_view key, ProfileNameMatch same = nullptr);

// The names of the keys in the first section named `section`, in the order
// written (a key written twice is there twice; a comment line that holds a
// "=" is left out), and the names of every section; by the rules above.
// They point into `text`.
std::vector<std::string_view> ProfileKeys(std::string_view text, std::string_view section,
                                          ProfileNameMatch same = nullptr);
std::vector<std::string_view> ProfileSections(std::string_view text);

// The fallback as the system's reader hands it back: without trailing blanks.
std::string_view ProfileFallback(std::string_view fallback);

}  // namespace corvale
