#include "resources/pack_lookup.h"

#include <algorithm>

#include "formats/checksums.h"
#include "resources/name_fold.h"

namespace nv::res {

int32_t find_pack_entry(const ResourceState& rs, std::string_view name) {
  uint32_t h = crc32_of(name);
  auto first = std::lower_bound(rs.hashes.begin(), rs.hashes.end(), h);
  for (auto it = first; it != rs.hashes.end() && *it == h; ++it) {
    auto i = static_cast<size_t>(it - rs.hashes.begin());
    if (equal_ignore_case_sjis(rs.entries[i].name, name)) return static_cast<int32_t>(i);
  }
  return -1;
}

}  // namespace nv::res
