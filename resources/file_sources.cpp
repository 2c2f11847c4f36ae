#include "resources/file_sources.h"

#include "resources/name_fold.h"

namespace nv::res {

int cache_put(ResourceState& rs, int group, CachedFile file) {
  if (group < 0 || group >= kCacheGroups) return -1;
  std::lock_guard<std::mutex> guard(rs.sources_lock);
  FileCache& c = rs.caches[static_cast<size_t>(group)];
  if (c.slots.size() >= kCacheSlots) {
    c.total_size -= c.slots.front().data.size();
    c.slots.erase(c.slots.begin());
  }
  c.total_size += file.data.size();
  c.slots.push_back(std::move(file));
  return static_cast<int>(c.slots.size() - 1);
}

int cache_touch(ResourceState& rs, int group, int slot) {
  if (group < 0 || group >= kCacheGroups) return -1;
  std::lock_guard<std::mutex> guard(rs.sources_lock);
  FileCache& c = rs.caches[static_cast<size_t>(group)];
  if (slot < 0 || static_cast<size_t>(slot) >= c.slots.size()) return -1;
  CachedFile f = std::move(c.slots[static_cast<size_t>(slot)]);
  c.slots.erase(c.slots.begin() + slot);
  c.slots.push_back(std::move(f));
  return static_cast<int>(c.slots.size() - 1);
}

void cache_clear(ResourceState& rs) {
  std::lock_guard<std::mutex> guard(rs.sources_lock);
  for (FileCache& c : rs.caches) {
    c.slots.clear();
    c.total_size = 0;
  }
}

int add_shared_file(ResourceState& rs, SharedFile file) {
  std::lock_guard<std::mutex> guard(rs.sources_lock);
  for (size_t i = 0; i < rs.shared_files.size(); ++i) {
    if (equal_ignore_case_sjis(rs.shared_files[i].name, file.name)) {
      rs.shared_files[i] = std::move(file);
      return static_cast<int>(i);
    }
  }
  rs.shared_files.push_back(std::move(file));
  return static_cast<int>(rs.shared_files.size() - 1);
}

void clear_shared_files(ResourceState& rs) {
  std::lock_guard<std::mutex> guard(rs.sources_lock);
  rs.shared_files.clear();
}

}  // namespace nv::res
