#include "resources/pack_mount.h"

#include <algorithm>
#include <array>
#include <numeric>

#include "core/engine.h"
#include "core/error_report.h"
#include "formats/pack_format.h"
#include "formats/pack_index.h"
#include "formats/sjis_text.h"
#include "platform/encoding.h"
#include "resources/appended_pack.h"
#include "resources/name_fold.h"
#include "resources/pack_duplicates.h"
#include "resources/pack_open.h"
#include "resources/resource_state.h"

namespace nv::res {

namespace {

constexpr ReportFlags kMountError{.stop = true, .framed = false};

// The update packs' replacement report does not stop by itself; the failed
// mount stops start-up.
constexpr ReportFlags kDuplicateError{.stop = false, .framed = false};

std::string base_name(std::string_view path) {
  size_t start = 0;
  for (size_t i = 0; i < path.size(); i = sjis::next_char(path, i))
    if (path[i] == '\\' || path[i] == '/') start = i + 1;
  std::string_view name = path.substr(start);
  size_t dot = name.rfind('.');
  return std::string(dot == std::string_view::npos ? name : name.substr(0, dot));
}

}  // namespace

int update_slot_of(std::string_view file_name) {
  if (file_name.size() != 11 || !ends_with_ignore_case(file_name, ".npf")) return 0;
  if (!equal_ignore_case_sjis(file_name.substr(0, 6), "update")) return 0;
  char d = file_name[6];
  return (d >= '1' && d <= '9') ? d - '0' : 0;
}

int mount_one_pack(Engine& e, const std::string& path, const std::string& open_path) {
  ResourceState& rs = e.resources;
  PackFile pack;
  pack.path = path;
  pack.open_path = open_path;
  std::string base = base_name(path);
  pack.is_update = !rs.appended.packed && update_slot_of(base + ".npf") != 0;

  OpenPack p = open_pack(e, pack);
  if (!p.is_open()) {
    report_ex(e, 901040, kMountError, {pack_display_path(rs, pack)});
    return -1;
  }
  std::array<uint8_t, pack::kHeaderSize> first{};
  size_t n = static_cast<size_t>(std::min<uint64_t>(p.size(), first.size()));
  if (!p.read(0, std::span<uint8_t>(first.data(), n))) n = 0;
  pack::Header h = pack::parse_header({first.data(), n});
  if (!h.has_magic) return 0;  // not a pack: skipped, not counted
  if (!h.complete) {
    report_ex(e, 104100, kMountError, {pack_display_path(rs, pack), ""});
    return -1;
  }
  if (!pack::version_accepted(h.version)) {
    report_ex(e, 104120, kMountError, {pack_display_path(rs, pack)});
    return -1;
  }
  if (uint64_t{rs.total_entries} + h.entry_count > kMaxEntries) {
    report_ex(e, 104140, kMountError, {static_cast<int>(kMaxEntries)});
    return -1;
  }
  if (rs.packs.size() >= kMaxPacks) {
    report_ex(e, 104130, kMountError, {static_cast<int>(kMaxPacks)});
    return -1;
  }
  rs.total_entries += h.entry_count;
  pack.entry_count = h.entry_count;
  pack.index_size = h.index_size;
  rs.packs.push_back(std::move(pack));
  return 0;
}

namespace {

// Reads every mounted pack's index into the global index.
int index_all_packs(Engine& e) {
  ResourceState& rs = e.resources;
  rs.hashes.clear();
  rs.entries.clear();
  rs.hashes.reserve(rs.total_entries);
  rs.entries.reserve(rs.total_entries);
  const std::string config_name = "nvbin\\nvcfg.nbn";
  for (uint32_t i = 0; i < rs.packs.size(); ++i) {
    const PackFile& pack = rs.packs[i];
    OpenPack p = open_pack(e, pack);
    if (!p.is_open()) {
      report_ex(e, 901040, kMountError, {pack_display_path(rs, pack)});
      return -1;
    }
    // The index must lie inside the file and keep every pack offset 32-bit.
    uint64_t end = uint64_t{pack::kHeaderSize} + pack.index_size;
    std::vector<uint8_t> index;
    if (end <= p.size() && end <= UINT32_MAX) {
      index.resize(pack.index_size);
      if (!p.read(pack::kHeaderSize, index)) end = UINT64_MAX;
    }
    if (end > p.size() || end > UINT32_MAX) {
      report_ex(e, 104100, kMountError, {pack_display_path(rs, pack), ""});
      return -1;
    }
    size_t first = rs.entries.size();
    pack::IndexResult r = pack::parse_index(index, pack.entry_count, i, rs.hashes, rs.entries);
    if (!r.ok) {
      report_ex(e, 104100, kMountError, {pack_display_path(rs, pack), r.bad_name});
      return -1;
    }
    for (size_t k = first; k < rs.entries.size(); ++k)
      if (equal_ignore_case_sjis(rs.entries[k].name, config_name)) rs.release_mode = true;
  }
  return 0;
}

// Sorts the global index by hash; entries of equal hash keep mount order.
void sort_index(ResourceState& rs) {
  std::vector<uint32_t> order(rs.hashes.size());
  std::iota(order.begin(), order.end(), 0u);
  std::stable_sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) { return rs.hashes[a] < rs.hashes[b]; });
  std::vector<uint32_t> hashes(order.size());
  std::vector<PackEntry> entries(order.size());
  for (size_t i = 0; i < order.size(); ++i) {
    hashes[i] = rs.hashes[order[i]];
    entries[i] = std::move(rs.entries[order[i]]);
  }
  rs.hashes = std::move(hashes);
  rs.entries = std::move(entries);
}

}  // namespace

int mount_all_packs(Engine& e, const std::string& exe_path) {
  ResourceState& rs = e.resources;
  if (!exe_path.empty()) apply_appended_pack(e, exe_path);
  if (rs.appended.packed) {
    std::string path = platform::utf8_to_sjis(rs.appended.exe_path);
    if (mount_one_pack(e, path, path) != 0) return -1;
  } else {
    if (search_packs(e) != 0) return -1;
    for (int slot = 1; slot <= 9; ++slot)
      if (!rs.update_slots[slot].empty() &&
          mount_one_pack(e, rs.update_slots[slot], rs.update_open_paths[slot]) != 0)
        return -1;
  }
  if (index_all_packs(e) != 0) return -1;
  DuplicateResult d = resolve_duplicates(rs.hashes, rs.entries, rs.packs);
  if (!d.ok) {
    report_ex(e, 104150, kDuplicateError, {d.name});
    return -1;
  }
  sort_index(rs);
  return 0;
}

}  // namespace nv::res
