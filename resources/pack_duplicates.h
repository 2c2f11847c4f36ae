// Entries of the same name in several packs. A later entry may replace an
// earlier one only when it comes from an update pack: the earlier entry's
// hash becomes 0 (1 if it was 0) so that lookups no longer find it. Any
// other repeated name fails the mount.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "resources/resource_state.h"

namespace nv::res {

struct DuplicateResult {
  bool ok = true;
  std::string name;  // the repeated name (of the later entry) when not ok
};

// Walks the entries in mount order, as if each were compared with every
// entry before it (hash first, then the name without regard to case), but
// in expected linear time. Rewrites the hashes of replaced entries.
DuplicateResult resolve_duplicates(std::vector<uint32_t>& hashes, const std::vector<PackEntry>& entries,
                                   const std::vector<PackFile>& packs);

}  // namespace nv::res
