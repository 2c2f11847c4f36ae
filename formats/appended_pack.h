// A pack appended to the engine executable. An ELF file has no resources,
// so the executable's "NV_RES" 201 value (the offset at which the appended
// data starts) is carried by a 16-byte trailer at the very end of the file:
// "NVRES201", the uint32 offset and a uint32 0. At that offset lies the
// 16-byte "NVER" header: uint32 pack offset (relative to the header),
// uint32 screen-saver flag, uint32 0. The engine reads a file through
// ranges, nvpack holds it in memory; both find the pack here.
#pragma once

#include <cstdint>
#include <functional>
#include <span>

namespace nv::pack {

struct AppendedLayout {
  uint32_t trailer_value = 0;  // the trailer's offset (0: no trailer)
  bool found = false;          // a trailer and, at its offset, the "NVER" header
  uint32_t pack_offset = 0;    // from the header, relative to it
  uint32_t screen_saver = 0;   // header flag
  uint64_t pack_base() const { return uint64_t{trailer_value} + pack_offset; }
};

// Reads `out.size()` bytes at `offset` of the file; false when they are not there.
using ReadAt = std::function<bool(uint64_t offset, std::span<uint8_t> out)>;

// The layout of a file of `file_size` bytes. The header must lie between
// the start of the file and the trailer; offsets 0 and 4 never start
// appended data.
AppendedLayout find_appended_pack(uint64_t file_size, const ReadAt& read_at);
AppendedLayout find_appended_pack(std::span<const uint8_t> file);

}  // namespace nv::pack
