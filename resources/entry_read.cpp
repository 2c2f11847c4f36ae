#include "resources/entry_read.h"

#include <limits>
#include <new>

#include "core/engine.h"
#include "core/error_report.h"
#include "formats/checksums.h"
#include "formats/pack_format.h"
#include "resources/inflate.h"
#include "resources/pack_open.h"
#include "resources/repair.h"
#include "resources/resource_state.h"

namespace nv::res {

namespace {

// The largest output a deflate stream can give per input byte is a little
// over 1032; a size above this bound is a lie that must not be allocated.
constexpr uint64_t kMaxInflateRatio = 1033;

bool allocate(std::vector<uint8_t>& block, size_t n) {
  try {
    block.resize(n);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  } catch (const std::length_error&) {
    return false;
  }
}

}  // namespace

int read_pack_entry(Engine& e, std::string_view name, const PackEntry& entry, std::vector<uint8_t>& out) {
  const ResourceState& rs = e.resources;
  const PackFile& pack = rs.packs[entry.pack];
  const std::string pack_path = pack_display_path(rs, pack);
  OpenPack p = open_pack(e, pack);
  if (!p.is_open()) {
    report(e, 901040, {pack_path});
    return -3;
  }
  auto damaged = [&] {
    report(e, 104100, {pack_path, name});
    return -2;
  };
  uint64_t data_end = uint64_t{entry.data_offset} + entry.stored_size;
  if (data_end > p.size()) return damaged();
  if (entry.compression != pack::kStored && entry.compression != pack::kZlib) {
    report(e, 901040, {pack_path});
    return -3;
  }
  bool plausible = entry.size <= static_cast<uint32_t>(std::numeric_limits<int32_t>::max()) &&
                   (entry.compression == pack::kStored
                        ? entry.size == entry.stored_size
                        : uint64_t{entry.size} <= uint64_t{entry.stored_size} * kMaxInflateRatio);
  if (!plausible) return damaged();
  std::vector<uint8_t> block;
  if (!allocate(block, entry.size)) {
    report(e, 104030, {name});
    return -3;
  }

  if (entry.compression == pack::kStored) {
    if (!p.read(entry.data_offset, block)) return damaged();
    if (repair_stored_data(e, name, block, entry.checksum, p, data_end) < 0) return damaged();
    out = std::move(block);
    return 0;
  }

  std::vector<uint8_t> stored;
  if (!allocate(stored, entry.stored_size)) {
    report(e, 104030, {name});
    return -3;
  }
  if (!p.read(entry.data_offset, stored)) return damaged();
  InflateStatus st = inflate_zlib_stream(stored, block);
  // Damaged bytes can make the stream look longer or shorter as well as
  // invalid, so any failure is worth a repair when the checksum disagrees.
  // A sound stream keeps zlib's outcome.
  if (st != InflateStatus::ok &&
      (st == InflateStatus::data_error || adler32_of(stored, 1) != entry.checksum)) {
    if (repair_stored_data(e, name, stored, entry.checksum, p, data_end) < 0) return damaged();
    st = inflate_zlib_stream(stored, block);
    if (st == InflateStatus::data_error) return damaged();
  }
  switch (st) {
    case InflateStatus::ok:
      out = std::move(block);
      return 0;
    case InflateStatus::buffer_error:
      report(e, 900040, {name});
      return -2;
    case InflateStatus::short_output:  // the size field lies
    case InflateStatus::data_error:
      return damaged();
    case InflateStatus::other_error:
      break;
  }
  report(e, 106010, {name});
  return -2;
}

}  // namespace nv::res
