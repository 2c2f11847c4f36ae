#include "formats/pack_view.h"

#include <zlib.h>

#include "formats/appended_pack.h"
#include "formats/repair_record.h"

namespace nv::pack {

PackView read_pack(std::span<const uint8_t> b) {
  const Header h = parse_header(b.first(std::min<size_t>(b.size(), kHeaderSize)));
  if (!h.has_magic || !h.complete) throw PackReadError("not a pack (no \"NPF\" header)");
  PackView v;
  v.bytes = b;
  v.version = h.version;
  if (!version_accepted(v.version)) throw PackReadError("pack version " + std::to_string(v.version) + " is too old");
  if (uint64_t{kHeaderSize} + h.index_size > b.size()) throw PackReadError("the index runs past the end of the pack");
  IndexResult r = parse_index(b.subspan(kHeaderSize, h.index_size), h.entry_count, 0, v.hashes, v.entries);
  if (!r.ok)
    throw PackReadError("entry " + std::to_string(v.entries.size()) + " runs past the index");
  for (const PackEntry& e : v.entries)
    if (uint64_t{e.data_offset} + e.stored_size > b.size())
      throw PackReadError("the data of \"" + e.name + "\" lies outside the pack");
  return v;
}

size_t executable_size(std::span<const uint8_t> file) {
  const AppendedLayout l = find_appended_pack(file);
  return l.found ? l.trailer_value : file.size();
}

LocatedPack locate_pack(std::span<const uint8_t> file) {
  LocatedPack a;
  a.pack = file;
  const AppendedLayout l = find_appended_pack(file);
  if (!l.found) return a;
  const uint64_t end = file.size() - kTrailerSize;
  if (l.pack_base() > end) throw PackReadError("the appended pack header points past the end of the file");
  a.present = true;
  a.screen_saver = l.screen_saver != 0;
  a.pack = file.subspan(static_cast<size_t>(l.pack_base()), static_cast<size_t>(end - l.pack_base()));
  return a;
}

EntryData read_entry(const PackView& pack, const PackEntry& e) {
  EntryData out;
  Bytes stored(pack.bytes.begin() + e.data_offset, pack.bytes.begin() + e.data_offset + e.stored_size);
  auto record = pack.bytes.subspan(e.data_offset + e.stored_size);
  int r = repair_stored(stored, record, e.checksum);
  if (r < 0) {
    out.problem = "checksum mismatch that the repair record cannot mend";
    return out;
  }
  out.status = r == 1 ? EntryStatus::repaired : EntryStatus::ok;
  if (e.compression == kStored) {
    if (stored.size() != e.size) {
      out.status = EntryStatus::damaged;
      out.problem = "stored size differs from the size";
      return out;
    }
    out.data = std::move(stored);
  } else if (e.compression == kZlib) {
    out.data.resize(e.size);
    uLongf len = e.size;
    int z = uncompress(out.data.data(), &len, stored.data(), static_cast<uLong>(stored.size()));
    if (z != Z_OK || len != e.size) {
      out.status = EntryStatus::damaged;
      out.problem = z == Z_OK ? "decompressed size differs" : "zlib data cannot be decompressed";
      out.data.clear();
    }
  } else {
    out.status = EntryStatus::damaged;
    out.problem = "unknown compression " + std::to_string(e.compression);
  }
  return out;
}

}  // namespace nv::pack
