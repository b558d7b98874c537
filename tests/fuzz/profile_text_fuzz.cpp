// The UTF-8 skin reader on any file text, section and key.
#include <cstddef>
#include <cstdint>
#include <string>

#include "base/profile_text.h"
#include "tests/fuzz/fuzz_input.h"

using corvale::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto parts = corvale::fuzz::Split(data, size, 3);  // section, key, file text
    const std::string& text = parts[2];
    if (const auto value = corvale::FindProfileValue(text, parts[0], parts[1])) {
        // The value is a piece of the text, with no line break in it.
        Require(value->data() >= text.data() && value->data() + value->size() <= text.data() + text.size());
        Require(value->find_first_of("\r\n") == std::string::npos);
    }
    Require(corvale::ProfileFallback(parts[1]).size() <= parts[1].size());
    return 0;
}
