// The layout entry cutter and its number readers on any entry value.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "skin/layout_fields.h"
#include "tests/fuzz/fuzz_input.h"

using corvale::EntryCutter;
using corvale::fuzz::Require;

namespace {

void ReadNumbers(const std::optional<std::string>& field, int whole) {
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
    const std::string_view text(value);
    EntryCutter cutter(value);
    // The file is where the value starts, the last field where it ends, and
    // every field in between is no longer than the value.
    const auto file = cutter.File();
    if (file) Require(text.starts_with(*file));
    ReadNumbers(file, whole);
    for (int i = 0; i <= middle; ++i) {
        const auto field = i == 0 ? cutter.Kind() : cutter.Next();
        if (field) Require(field->size() <= value.size());
        ReadNumbers(field, whole);
    }
    const std::string rest = cutter.Rest();
    Require(text.ends_with(rest));
    ReadNumbers(rest, whole);
    return 0;
}
