// The layout entry cutter and its number readers on any entry value.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "skin/layout_fields.h"
#include "tests/fuzz/fuzz_input.h"

using corvale::EntryCutter;
using corvale::fuzz::Require;

namespace {

// Every field that can be cut is a piece of the value.
void Check(const std::string& value, const std::optional<std::string>& field, int whole) {
    if (!field) return;
    Require(value.find(*field) != std::string::npos);
    corvale::FieldNumber(field);
    if (const auto n = corvale::FieldInteger(field)) Require(*n >= INT32_MIN && *n <= INT32_MAX);
    if (const auto n = corvale::FieldPercent(field, whole)) Require(*n >= INT32_MIN && *n <= INT32_MAX);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    // First byte: how many middle fields (0..15) and the whole for percentages.
    const int middle = data[0] & 0x0F;
    const int whole = (data[0] >> 4) * 100 - 200;
    const std::string value(reinterpret_cast<const char*>(data) + 1, size - 1);
    EntryCutter cutter(value);
    Check(value, cutter.File(), whole);
    Check(value, cutter.Kind(), whole);
    for (int i = 0; i < middle; ++i) Check(value, cutter.Next(), whole);
    Check(value, cutter.Rest(), whole);
    return 0;
}
