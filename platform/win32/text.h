// UTF-8 in the program, UTF-16 at the system's W functions: the one place
// where text changes form.
#pragma once

#include <string>
#include <string_view>

namespace corvale::win32 {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

}  // namespace corvale::win32
