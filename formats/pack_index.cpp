#include "formats/pack_index.h"

#include <cstring>

#include "formats/byte_reader.h"
#include "formats/pack_format.h"

namespace nv::pack {

Header parse_header(std::span<const uint8_t> first) {
  Header h;
  if (first.size() < 4 || std::memcmp(first.data(), kMagic, 4) != 0) return h;
  h.has_magic = true;
  if (first.size() < kHeaderSize) return h;
  h.complete = true;
  h.version = load_u32(first.data() + 4);
  h.entry_count = load_u32(first.data() + 8);
  h.index_size = load_u32(first.data() + 12);
  return h;
}

std::string recover_name(std::span<const uint8_t> stored) {
  std::string name(stored.size(), '\0');
  for (size_t i = 0; i < stored.size(); ++i) name[i] = static_cast<char>(~stored[i]);
  return name;
}

IndexResult parse_index(std::span<const uint8_t> index, uint32_t count, uint32_t pack_number,
                        std::vector<uint32_t>& hashes, std::vector<PackEntry>& out) {
  IndexResult r;
  size_t pos = 0;
  for (uint32_t i = 0; i < count; ++i) {
    if (index.size() - pos < kRecordFixedSize) {
      r.ok = false;
      return r;
    }
    const uint8_t* rec = index.data() + pos;
    size_t len = name_length(rec[4]);
    if (index.size() - pos < kRecordFixedSize + len) {
      r.ok = false;
      // The name may still lie inside the block.
      if (index.size() - pos >= 5 + len) r.bad_name = recover_name({rec + 5, len});
      return r;
    }
    PackEntry e;
    e.pack = pack_number;
    e.length_pos = static_cast<uint32_t>(kHeaderSize + pos + 4);
    e.name = recover_name({rec + 5, len});
    const uint8_t* f = rec + 5 + len;
    e.type = f[0] <= 7 ? static_cast<FileType>(f[0]) : FileType::unknown;
    e.compression = f[1];
    e.size = load_u32(f + 2);
    e.stored_size = load_u32(f + 6);
    e.data_offset = load_u32(f + 10);
    e.checksum = load_u32(f + 14);
    hashes.push_back(load_u32(rec));
    out.push_back(std::move(e));
    pos += kRecordFixedSize + len;
  }
  return r;
}

}  // namespace nv::pack
