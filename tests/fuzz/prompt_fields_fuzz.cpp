// The prompt's field splitter on any value and field count.
#include <cstddef>
#include <cstdint>
#include <string>

#include "prompt/frm_input.h"
#include "tests/fuzz/fuzz_input.h"

using corvale::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    // First byte: the field count, -8..247, so that counts below one are tried too.
    const int count = static_cast<int>(data[0]) - 8;
    const std::string value(reinterpret_cast<const char*>(data) + 1, size - 1);
    const auto fields = corvale::SplitPromptFields(value, count);
    if (!fields) return 0;
    Require(fields->size() == static_cast<std::size_t>(count < 1 ? 1 : count));
    std::size_t total = fields->size() - 1;  // the commas between them
    for (const std::string& field : *fields) total += field.size();
    Require(total <= value.size());
    return 0;
}
