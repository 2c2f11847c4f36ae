// Finding an entry of the mounted packs by name.
#pragma once

#include <cstdint>
#include <string_view>

#include "resources/resource_state.h"

namespace nv::res {

// Global entry number of `name` (as the caller gives it), or -1. The CRC-32
// of the name's bytes selects the candidates by binary search; the first
// candidate whose recovered name equals `name` without regard to case wins.
int32_t find_pack_entry(const ResourceState& rs, std::string_view name);

}  // namespace nv::res
