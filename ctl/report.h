// How corvalectl prints a theme check: text for a person, JSON for tools.
#pragma once

#include <ostream>
#include <string>

#include "ctl/theme_check.h"

namespace corvale::ctl {

// A JSON string literal; text is UTF-8 and passes through unchanged but for
// quotes, backslashes and control characters.
std::string Json(const std::string& text);

void PrintCheckText(const ThemeCheck& check, const std::string& folder, std::ostream& out);
void PrintCheckJson(const ThemeCheck& check, const std::string& folder, std::ostream& out);

}  // namespace corvale::ctl
