// Column text: code-point-aware padding, NUL cutting and digit grouping.
#include "base/text.h"

#include <vector>

namespace corvale {
namespace {

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Length in bytes of the character that starts at `pos`. A malformed
// sequence counts byte by byte, so any input splits into whole characters.
std::size_t CharLength(std::string_view text, std::size_t pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    std::size_t length = 1;
    if (lead >= 0xF0 && lead < 0xF8) length = 4;
    else if (lead >= 0xE0) length = lead < 0xF0 ? 3 : 1;
    else if (lead >= 0xC0) length = 2;
    if (pos + length > text.size()) return 1;
    for (std::size_t i = 1; i < length; ++i)
        if (!IsContinuation(static_cast<unsigned char>(text[pos + i]))) return 1;
    return length;
}

// Byte offsets where the characters of `text` start, plus its end.
std::vector<std::size_t> CharStarts(std::string_view text) {
    std::vector<std::size_t> starts;
    for (std::size_t pos = 0; pos < text.size(); pos += CharLength(text, pos)) starts.push_back(pos);
    starts.push_back(text.size());
    return starts;
}

}  // namespace

long CharacterCount(std::string_view text) { return static_cast<long>(CharStarts(text).size()) - 1; }

std::string PadText(std::string_view text, long width, bool leftAlign) {
    if (width <= 0) return {};
    const std::vector<std::size_t> starts = CharStarts(text);
    const auto count = static_cast<long>(starts.size()) - 1;
    const auto n = static_cast<std::size_t>(width);
    if (count >= width) {
        if (leftAlign) return std::string(text.substr(0, starts[n]));
        return std::string(text.substr(starts[starts.size() - 1 - n]));
    }
    const std::string fill(static_cast<std::size_t>(width - count), ' ');
    return leftAlign ? std::string(text) + fill : fill + std::string(text);
}

std::string PadFigure(std::string_view figure, long width, bool leftAlign) {
    if (CharacterCount(figure) >= width) return std::string(figure);
    return PadText(figure, width, leftAlign);
}

std::string TrimAtNul(std::string_view text) { return std::string(text.substr(0, text.find('\0'))); }

std::string FormatByteCount(std::uint64_t value) {
    const std::string digits = std::to_string(value);
    const std::size_t length = digits.size();
    const std::size_t head = length - 3 * ((length - 1) / 3);
    std::string result = digits.substr(0, head);
    for (std::size_t i = head; i < length; i += 3) result += "." + digits.substr(i, 3);
    return result;
}

std::string GroupDigits(std::uint64_t value, std::string_view separator) {
    if (value == 0) return {};
    const std::string digits = std::to_string(value);
    std::string result;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) result += separator;
        result += digits[i];
    }
    return result;
}

}  // namespace corvale
