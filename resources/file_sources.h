// The in-memory sources of the file loader: the four file caches kept by
// the file commands (image caches 1 to 4 are groups 0 to 3; the sound cache
// is group 0) and the shared files delivered over the debug link.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "resources/resource_state.h"

namespace nv::res {

// Puts a file into cache `group` (0 to 3) at the newest end. A full cache
// (512 files) first drops its oldest file. Returns the slot, or -1 for a
// group out of range.
int cache_put(ResourceState& rs, int group, CachedFile file);

// Moves slot `slot` of `group` to the newest end, unchanged; returns its
// new slot or -1.
int cache_touch(ResourceState& rs, int group, int slot);

// Drops every cached file (shut-down).
void cache_clear(ResourceState& rs);

// Adds a shared file; a file of the same name (without regard to case) is
// replaced. Returns its number.
int add_shared_file(ResourceState& rs, SharedFile file);
void clear_shared_files(ResourceState& rs);

}  // namespace nv::res
