#include "input/key_names.h"

#include "runtime/command_defs.h"

namespace nv {

int virtual_key_of_name(std::string_view name) {
  for (const KeyName& k : kKeyNames)
    if (name == k.name) return k.vk;
  return -1;
}

}  // namespace nv
