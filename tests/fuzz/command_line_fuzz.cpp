// The command-line splitter and the applet word reader on any command text.
#include <cstddef>
#include <cstdint>
#include <string>

#include "base/values.h"
#include "commands/launch.h"
#include "tests/fuzz/fuzz_input.h"

using corvale::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const corvale::CommandLineParts parts = corvale::SplitCommandLine(text);
    // Both parts are cut from the text, and together never longer than it.
    Require(parts.file.size() + parts.parameters.size() <= text.size());
    Require(text.find(parts.file) != std::string::npos && text.find(parts.parameters) != std::string::npos);
    if (const auto code = corvale::AppletCode(corvale::UpperCase(text))) {
        Require(*code >= 1 && *code <= 20);
        corvale::AppletString(*code, true);
        corvale::AppletString(*code, false);
    }
    return 0;
}
