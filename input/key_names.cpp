#include "input/key_names.h"

#include "formats/command_table.h"

namespace nv::input {

int virtual_key_of_name(std::string_view name) {
  for (const KeyName& k : kKeyNames)
    if (name == k.name) return k.vk;
  return -1;
}

}  // namespace nv::input
