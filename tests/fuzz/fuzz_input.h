// Cutting one fuzz input into the parts a target needs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace corvale::fuzz {

// The input as text, cut at NUL bytes into at most `parts` pieces (the last
// keeps any further NULs); missing pieces are empty. Seeds stay readable:
// each piece is plain text between NULs.
inline std::vector<std::string> Split(const std::uint8_t* data, std::size_t size, std::size_t parts) {
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> out;
    while (out.size() + 1 < parts) {
        const std::size_t nul = rest.find('\0');
        if (nul == std::string_view::npos) break;
        out.emplace_back(rest.substr(0, nul));
        rest.remove_prefix(nul + 1);
    }
    out.emplace_back(rest);
    out.resize(parts);
    return out;
}

// Stops the run with a report the fuzzer saves, when a rule the code
// promises is broken.
inline void Require(bool holds) {
    if (!holds) __builtin_trap();
}

}  // namespace corvale::fuzz
