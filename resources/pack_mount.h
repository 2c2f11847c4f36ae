// Mounting the title's packs at start-up: the packs found beside the
// executable and in its folder "pac" (or, in packed-executable mode, the
// pack inside the executable), then the update packs 1 to 9, into one
// global index sorted by name hash.
#pragma once

#include <string>

namespace nv {
struct Engine;
}  // namespace nv

namespace nv::res {

// Limits of mounting.
constexpr size_t kMaxPacks = 100;
constexpr uint32_t kMaxEntries = 100000;

// Detects an appended pack in the executable at the host path `exe_path`
// (empty: none), then mounts everything. Returns 0, or -1 after the error
// has been reported; start-up stops on -1.
int mount_all_packs(Engine& e, const std::string& exe_path);

// Checks one pack's header and adds it to the pack list. `path` is the
// lower-cased engine path, `open_path` the same with the host's case.
// Returns 0 (also for a file that is not a pack, which is skipped) or -1.
int mount_one_pack(Engine& e, const std::string& path, const std::string& open_path);

// Searches the title folder and its folder "pac" for packs, mounting them as
// found and remembering the update packs in their slots. 0 or -1.
int search_packs(Engine& e);

// Whether a file name (no folder) names update pack 1 to 9; returns the
// slot number or 0.
int update_slot_of(std::string_view file_name);

}  // namespace nv::res
