// The readers of numbers, Booleans and colours on any text.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/startup.h"
#include "base/values.h"
#include "skin/layout_fields.h"
#include "tests/fuzz/fuzz_input.h"

using corvale::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const double leading = corvale::LeadingNumber(text);
    corvale::RoundHalfEven(leading);
    Require(corvale::LeadingInteger(text) == corvale::RoundHalfEven(leading));
    corvale::WholeNumber(text);
    corvale::ReadBoolean(text);
    if (const auto n = corvale::ReadLong(text)) {
        Require(*n >= INT32_MIN && *n <= INT32_MAX);
        Require(corvale::TwoDigitKey(*n).size() >= 2);
    }
    const std::string upper = corvale::UpperCase(text);
    Require(upper.size() == text.size() && corvale::EqualsNoCase(text, upper));

    if (const auto color = corvale::ParseBackGround(std::string(text))) Require(*color <= 0xFFFFFF);
    // Three components as a text box entry gives them.
    const auto parts = corvale::fuzz::Split(data, size, 3);
    const auto color = corvale::SkinColor(corvale::LeadingNumber(parts[0]), corvale::LeadingNumber(parts[1]),
                                          corvale::LeadingNumber(parts[2]));
    if (color) Require(*color <= 0xFFFFFF);
    return 0;
}
