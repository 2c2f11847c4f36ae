#include "formats/appended_pack.h"

#include <array>
#include <cstring>

#include "formats/byte_reader.h"
#include "formats/pack_format.h"

namespace nv::pack {

AppendedLayout find_appended_pack(uint64_t size, const ReadAt& read_at) {
  AppendedLayout a;
  std::array<uint8_t, kTrailerSize> trailer{};
  if (size < trailer.size() || !read_at(size - trailer.size(), trailer) ||
      std::memcmp(trailer.data(), kTrailerMagic.data(), kTrailerMagic.size()) != 0)
    return a;
  a.trailer_value = load_u32(trailer.data() + 8);
  const uint64_t v = a.trailer_value;
  if (v == 0 || v == 4 || v + kAppendedHeaderSize + kTrailerSize > size) return a;
  std::array<uint8_t, kAppendedHeaderSize> header{};
  if (!read_at(v, header) || std::memcmp(header.data(), kAppendedMagic, 4) != 0) return a;
  a.found = true;
  a.pack_offset = load_u32(header.data() + 4);
  a.screen_saver = load_u32(header.data() + 8);
  return a;
}

AppendedLayout find_appended_pack(std::span<const uint8_t> file) {
  return find_appended_pack(file.size(), [file](uint64_t offset, std::span<uint8_t> out) {
    if (offset > file.size() || out.size() > file.size() - offset) return false;
    std::memcpy(out.data(), file.data() + offset, out.size());
    return true;
  });
}

}  // namespace nv::pack
