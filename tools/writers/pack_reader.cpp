#include "tools/writers/pack_reader.h"

#include <zlib.h>

#include <cstring>

#include "data/checksums.h"
#include "resources/pack_format.h"
#include "tools/writers/repair_record.h"

namespace nv::writers {

PackView read_pack(std::span<const uint8_t> b) {
  if (b.size() < pack::kHeaderSize || std::memcmp(b.data(), pack::kMagic, 4) != 0)
    throw PackReadError("not a pack (no \"NPF\" header)");
  PackView v;
  v.bytes = b;
  v.version = read_u32(b, 4);
  if (v.version < pack::kOldestVersion) throw PackReadError("pack version " + std::to_string(v.version) + " is too old");
  uint32_t count = read_u32(b, 8);
  uint64_t index_size = read_u32(b, 12);
  if (pack::kHeaderSize + index_size > b.size()) throw PackReadError("the index runs past the end of the pack");
  size_t at = pack::kHeaderSize;
  size_t end = at + static_cast<size_t>(index_size);
  for (uint32_t i = 0; i < count; ++i) {
    if (at + 5 > end) throw PackReadError("entry " + std::to_string(i) + " runs past the index");
    PackEntryInfo e;
    e.hash = read_u32(b, at);
    uint8_t len = pack::name_length(b[at + 4]);
    if (at + pack::kRecordFixedSize + len > end) throw PackReadError("entry " + std::to_string(i) + " runs past the index");
    for (size_t k = 0; k < len; ++k) e.name += static_cast<char>(~b[at + 5 + k]);
    size_t f = at + 5 + len;
    e.type = b[f];
    e.compression = b[f + 1];
    e.size = read_u32(b, f + 2);
    e.stored_size = read_u32(b, f + 6);
    e.offset = read_u32(b, f + 10);
    e.adler = read_u32(b, f + 14);
    if (static_cast<uint64_t>(e.offset) + e.stored_size > b.size())
      throw PackReadError("the data of \"" + e.name + "\" lies outside the pack");
    v.entries.push_back(std::move(e));
    at += pack::kRecordFixedSize + len;
  }
  return v;
}

namespace {
bool has_trailer(std::span<const uint8_t> f, uint32_t* offset) {
  if (f.size() < pack::kTrailerSize) return false;
  auto t = f.subspan(f.size() - pack::kTrailerSize);
  if (std::memcmp(t.data(), pack::kTrailerMagic.data(), pack::kTrailerMagic.size()) != 0) return false;
  uint32_t v = read_u32(t, 8);
  if (static_cast<uint64_t>(v) + pack::kAppendedHeaderSize + pack::kTrailerSize > f.size()) return false;
  if (std::memcmp(f.data() + v, pack::kAppendedMagic, 4) != 0) return false;
  *offset = v;
  return true;
}
}  // namespace

size_t executable_size(std::span<const uint8_t> file) {
  uint32_t v = 0;
  return has_trailer(file, &v) ? v : file.size();
}

AppendedPack locate_pack(std::span<const uint8_t> file) {
  AppendedPack a;
  a.pack = file;
  uint32_t v = 0;
  if (!has_trailer(file, &v)) return a;
  uint64_t base = static_cast<uint64_t>(v) + read_u32(file, v + 4);
  uint64_t end = file.size() - pack::kTrailerSize;
  if (base > end) throw PackReadError("the appended pack header points past the end of the file");
  a.present = true;
  a.screen_saver = read_u32(file, v + 8) != 0;
  a.pack = file.subspan(static_cast<size_t>(base), static_cast<size_t>(end - base));
  return a;
}

EntryData read_entry(const PackView& pack, const PackEntryInfo& e) {
  EntryData out;
  Bytes stored(pack.bytes.begin() + e.offset, pack.bytes.begin() + e.offset + e.stored_size);
  auto record = pack.bytes.subspan(e.offset + e.stored_size);
  int r = repair_stored(stored, record, e.adler);
  if (r < 0) {
    out.problem = "checksum mismatch that the repair record cannot mend";
    return out;
  }
  out.status = r == 1 ? EntryStatus::repaired : EntryStatus::ok;
  if (e.compression == pack::kStored) {
    if (stored.size() != e.size) {
      out.status = EntryStatus::damaged;
      out.problem = "stored size differs from the size";
      return out;
    }
    out.data = std::move(stored);
  } else if (e.compression == pack::kZlib) {
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

}  // namespace nv::writers
