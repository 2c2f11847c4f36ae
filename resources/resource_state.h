// What the resource subsystem keeps for the life of a process: the mounted
// packs and their global index, the appended-pack facts, the in-memory file
// sources (cached and shared files) and the extension probing orders.
#pragma once

#include <array>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "formats/pack_index.h"
#include "resources/file_types.h"

namespace nv::res {

// A mounted pack archive.
struct PackFile {
  std::string path;       // as found, ASCII lower-cased: ".\pac\a.npf" (messages)
  std::string open_path;  // the same file with the host's letter case, opened first
  bool is_update = false; // base name "update1" to "update9"
  uint32_t entry_count = 0;
  uint32_t index_size = 0;
};

// The pack appended to the executable, as detected at start-up.
struct AppendedPack {
  std::string exe_path;        // host path of the executable
  uint32_t resource_value = 0; // where the appended data starts (0: none)
  uint32_t pack_offset = 0;    // from the appended header, relative to it
  uint32_t screen_saver = 0;   // header flag: run as a screen saver
  uint64_t exe_size = 0;
  bool packed = false;         // packed-executable mode

  uint64_t pack_base() const { return uint64_t{resource_value} + pack_offset; }
};

// A named in-memory copy kept by the file commands (image and sound caches).
struct CachedFile {
  std::string name;  // Shift-JIS, as resolved
  FileType type = FileType::unknown;
  std::vector<uint8_t> data;
};

// A named in-memory file delivered by the compiler over the debug link.
struct SharedFile {
  std::string name;
  std::vector<uint8_t> data;
};

constexpr int kCacheGroups = 4;
constexpr size_t kCacheSlots = 512;  // per group; the oldest entry makes room

struct FileCache {
  std::vector<CachedFile> slots;  // oldest first
  uint64_t total_size = 0;
};

struct ResourceState {
  // Mounted packs.
  std::vector<PackFile> packs;
  std::array<std::string, 10> update_slots;       // [1..9]: path of updateN.npf when found
  std::array<std::string, 10> update_open_paths;  // the same with the host's case
  std::vector<uint32_t> hashes;              // global index, sorted ascending
  std::vector<PackEntry> entries;            // parallel to `hashes`
  uint32_t total_entries = 0;
  AppendedPack appended;
  bool release_mode = false;
  std::string exe_folder;  // Shift-JIS with a trailing '\': the pack path prefix outside release mode

  // Extension probing orders (title configuration): images 1 ".png",
  // 2 ".bmp", 3 ".jpg", 4 ".gif"; sounds 1 ".ogg", 2 ".wav"; other values
  // are skipped.
  std::array<uint8_t, 4> image_order{1, 2, 3, 4};
  std::array<uint8_t, 2> sound_order{1, 2};

  // In-memory sources; guarded by `sources_lock` since the file commands,
  // the debug link and the loader may run on different threads.
  std::mutex sources_lock;
  std::array<FileCache, kCacheGroups> caches;
  std::vector<SharedFile> shared_files;
};

}  // namespace nv::res
