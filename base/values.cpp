// Number, Boolean and key rules shared by every reader of skin values.
#include "base/values.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <limits>

namespace corvale {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

int DigitValue(char c, int base) {
    int value = -1;
    if (c >= '0' && c <= '9') value = c - '0';
    else if (c >= 'a' && c <= 'f') value = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') value = c - 'A' + 10;
    return value < base ? value : -1;
}

// Reads "&H1F" or "&O17" at `pos`; the value is a signed 32-bit pattern when
// it fits 8 hex digits, as the toolkit's hexadecimal literals are.
double RadixNumber(std::string_view text, size_t pos, int base) {
    unsigned long long value = 0;
    bool any = false;
    for (; pos < text.size(); ++pos) {
        const int digit = DigitValue(text[pos], base);
        if (digit < 0) break;
        any = true;
        value = value * static_cast<unsigned>(base) + static_cast<unsigned>(digit);
        if (value > 0xFFFFFFFFULL) return static_cast<double>(value);
    }
    if (!any) return 0;
    if (value > 0x7FFFFFFFULL && value <= 0xFFFFFFFFULL)
        return static_cast<double>(static_cast<long long>(value) - 0x100000000LL);
    return static_cast<double>(value);
}

struct Scan {
    double value = 0;
    size_t end = 0;  // first position not taken by the number
    bool any = false;
};

// Scans a decimal number with optional sign, fraction and exponent; blanks
// between its characters are passed over, as the toolkit's reader does.
Scan DecimalNumber(std::string_view text, size_t pos) {
    std::string digits;
    bool seenDigit = false;
    bool seenPoint = false;
    bool seenExponent = false;
    auto skipBlanks = [&] {
        while (pos < text.size() && IsBlank(text[pos])) ++pos;
    };
    skipBlanks();
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) digits += text[pos++];
    size_t lastGood = pos;
    for (;;) {
        skipBlanks();
        if (pos >= text.size()) break;
        const char c = text[pos];
        if (std::isdigit(static_cast<unsigned char>(c))) {
            digits += c;
            seenDigit = true;
            lastGood = ++pos;
        } else if (c == '.' && !seenPoint && !seenExponent) {
            digits += c;
            seenPoint = true;
            ++pos;
        } else if ((c == 'e' || c == 'E' || c == 'd' || c == 'D') && seenDigit && !seenExponent) {
            // Only an exponent followed by digits continues the number.
            size_t look = pos + 1;
            std::string exponent = "e";
            if (look < text.size() && (text[look] == '+' || text[look] == '-')) exponent += text[look++];
            if (look >= text.size() || !std::isdigit(static_cast<unsigned char>(text[look]))) break;
            while (look < text.size() && std::isdigit(static_cast<unsigned char>(text[look])))
                exponent += text[look++];
            digits += exponent;
            seenExponent = true;
            lastGood = pos = look;
        } else {
            break;
        }
    }
    Scan scan;
    scan.any = seenDigit;
    scan.end = seenDigit ? lastGood : 0;
    if (seenDigit) {
        scan.value = std::strtod(digits.c_str(), nullptr);
        if (!std::isfinite(scan.value)) scan.value = 0;
    }
    return scan;
}

}  // namespace

double LeadingNumber(std::string_view text) {
    size_t pos = 0;
    while (pos < text.size() && IsBlank(text[pos])) ++pos;
    if (pos + 1 < text.size() && text[pos] == '&') {
        const char radix = static_cast<char>(std::toupper(static_cast<unsigned char>(text[pos + 1])));
        if (radix == 'H') return RadixNumber(text, pos + 2, 16);
        if (radix == 'O') return RadixNumber(text, pos + 2, 8);
    }
    return DecimalNumber(text, pos).value;
}

long long RoundHalfEven(double value) {
    if (!std::isfinite(value)) return 0;
    constexpr double kLimit = 9.0e18;
    if (value > kLimit) return static_cast<long long>(kLimit);
    if (value < -kLimit) return static_cast<long long>(-kLimit);
    const double floor = std::floor(value);
    const double diff = value - floor;
    long long result = static_cast<long long>(floor);
    if (diff > 0.5 || (diff == 0.5 && (result % 2 != 0))) ++result;
    return result;
}

long long LeadingInteger(std::string_view text) { return RoundHalfEven(LeadingNumber(text)); }

std::optional<double> WholeNumber(std::string_view text) {
    size_t first = 0;
    size_t last = text.size();
    while (first < last && IsBlank(text[first])) ++first;
    while (last > first && IsBlank(text[last - 1])) --last;
    const std::string_view core = text.substr(first, last - first);
    if (core.empty()) return std::nullopt;
    if (core.size() > 2 && core[0] == '&') {
        const char radix = static_cast<char>(std::toupper(static_cast<unsigned char>(core[1])));
        const int base = radix == 'H' ? 16 : radix == 'O' ? 8 : 0;
        if (base == 0) return std::nullopt;
        for (size_t i = 2; i < core.size(); ++i)
            if (DigitValue(core[i], base) < 0) return std::nullopt;
        return RadixNumber(core, 2, base);
    }
    const Scan scan = DecimalNumber(core, 0);
    if (!scan.any || scan.end != core.size()) return std::nullopt;
    return scan.value;
}

std::optional<bool> ReadBoolean(std::string_view text) {
    size_t first = 0;
    size_t last = text.size();
    while (first < last && IsBlank(text[first])) ++first;
    while (last > first && IsBlank(text[last - 1])) --last;
    const std::string_view word = text.substr(first, last - first);
    if (EqualsNoCase(word, "true")) return true;
    if (EqualsNoCase(word, "false")) return false;
    if (const auto number = WholeNumber(word)) return *number != 0;
    return std::nullopt;
}

std::optional<long> ReadLong(std::string_view text) {
    const auto number = WholeNumber(text);
    if (!number) return std::nullopt;
    const long long rounded = RoundHalfEven(*number);
    if (rounded < std::numeric_limits<std::int32_t>::min() ||
        rounded > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<long>(rounded);
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::string UpperCase(std::string_view text) {
    std::string result(text);
    for (char& c : result) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return result;
}

std::string TwoDigitKey(long n) {
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "%02ld", n);
    return buffer;
}

}  // namespace corvale
