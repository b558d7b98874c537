// The small theme `corvalectl new` writes for an author to start from.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace corvale::ctl {

// Every file of the starter theme by name: one layout for every screen
// width with a text box, two buttons with hover faces (one of them behind
// the password), a three-frame animation, the master slider with its switch,
// and a password prompt with its own face. Made afresh, the same bytes each
// time.
std::map<std::string, std::vector<std::uint8_t>> StarterTheme();

}  // namespace corvale::ctl
