// Text helpers for the panels' columns: fitting text to a width, cutting at
// a NUL, grouping digits.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace corvale {

// `text` fitted to exactly `width` characters: left-aligned (cut on the
// right) or right-aligned (cut on the left). Characters are counted as
// UTF-8 code points, so a cut never splits one; a width of 0 or less gives "".
std::string PadText(std::string_view text, long width, bool leftAlign);

// A figure or other value padded as PadText pads, but never cut: a cut
// number, path or name reads as another one, so a longer one is given whole.
std::string PadFigure(std::string_view figure, long width, bool leftAlign);

// The part of `text` before its first NUL, or all of it.
std::string TrimAtNul(std::string_view text);

// A byte count with its digits grouped by "." in every locale:
// 1234567 gives "1.234.567". Every digit is exact, however large.
std::string FormatByteCount(std::uint64_t value);

// The number pattern "###,###,###": digits grouped by three with
// `separator`, no leading zeros, so 0 gives "".
std::string GroupDigits(std::uint64_t value, std::string_view separator);

// Number of UTF-8 code points in `text` (a stray byte counts as one).
long CharacterCount(std::string_view text);

}  // namespace corvale
