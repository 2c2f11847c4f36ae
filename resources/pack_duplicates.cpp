#include "resources/pack_duplicates.h"

#include <cstring>
#include <unordered_map>

#include "resources/name_fold.h"

namespace nv::res {

namespace {

// Key of the entries that compare equal: current hash and folded name.
std::string key_of(uint32_t hash, const std::string& folded) {
  std::string k(4, '\0');
  std::memcpy(k.data(), &hash, 4);
  return k + folded;
}

}  // namespace

DuplicateResult resolve_duplicates(std::vector<uint32_t>& hashes, const std::vector<PackEntry>& entries,
                                   const std::vector<PackFile>& packs) {
  DuplicateResult r;
  // Earlier entries by key. Only replaced entries (hash 0 or 1) can share a
  // key; each list is kept in mount order.
  std::unordered_map<std::string, std::vector<uint32_t>> earlier;
  earlier.reserve(entries.size());
  for (uint32_t i = 0; i < entries.size(); ++i) {
    std::string folded = lower_ascii_sjis(entries[i].name);
    uint32_t h = hashes[i];
    auto it = earlier.find(key_of(h, folded));
    if (it != earlier.end() && !it->second.empty()) {
      if (!packs[entries[i].pack].is_update) {
        r.ok = false;
        r.name = entries[i].name;
        return r;
      }
      uint32_t hidden = h == 0 ? 1 : 0;
      std::vector<uint32_t> moved = std::move(it->second);
      it->second.clear();
      for (uint32_t j : moved) hashes[j] = hidden;
      auto& dest = earlier[key_of(hidden, folded)];
      // Keep mount order in the destination list.
      std::vector<uint32_t> merged;
      merged.reserve(dest.size() + moved.size());
      size_t a = 0, b = 0;
      while (a < dest.size() || b < moved.size())
        merged.push_back(b == moved.size() || (a < dest.size() && dest[a] < moved[b]) ? dest[a++] : moved[b++]);
      dest = std::move(merged);
    }
    earlier[key_of(h, folded)].push_back(i);
  }
  return r;
}

}  // namespace nv::res
