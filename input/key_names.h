// Key names as scripts write them (the engine key table's names).
#pragma once

#include <string_view>

namespace nv::input {

// The virtual-key code of a key name such as "RETURN", "A" or "F1"
// (upper case), or -1.
int virtual_key_of_name(std::string_view name);

}  // namespace nv::input
