// Little-endian fields of the engine's files.
#pragma once

#include <cstdint>

namespace nv {

inline uint32_t read_u32le(const uint8_t* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}
inline uint16_t read_u16le(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

}  // namespace nv
