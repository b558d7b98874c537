// The rules by which skin and settings texts become numbers, Booleans and
// colours.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace corvale {

// The leading-number rule: blanks are skipped, reading stops at the first
// character that cannot continue the number, "." is the decimal point in every
// locale, "&H" (and "&O") read the rest as hexadecimal (octal), and a text
// without a leading number reads as 0.
double LeadingNumber(std::string_view text);

// Rounds to the nearest whole number, halves to the even neighbour.
long long RoundHalfEven(double value);

// LeadingNumber rounded half to even.
long long LeadingInteger(std::string_view text);

// A text that is a number as a whole (surrounding blanks allowed), or nullopt.
std::optional<double> WholeNumber(std::string_view text);

// "True"/"False" in any case, or a number (0 is False); nullopt otherwise.
std::optional<bool> ReadBoolean(std::string_view text);

// A whole number that fits 32 bits (rounded half to even); nullopt otherwise.
std::optional<long> ReadLong(std::string_view text);

// Case-insensitive comparison of ASCII letters, as the skins' names need.
bool EqualsNoCase(std::string_view a, std::string_view b);
std::string UpperCase(std::string_view text);

// n written with at least two digits: 1 gives "01", 100 gives "100".
std::string TwoDigitKey(long n);

}  // namespace corvale
