// The text of an initialization file taken apart as the system's reader
// does, for the skin files that reader cannot take (UTF-8 with a mark).
#pragma once

#include <optional>
#include <string_view>

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

// The fallback as the system's reader hands it back: without trailing blanks.
std::string_view ProfileFallback(std::string_view fallback);

}  // namespace corvale
