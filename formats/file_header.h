// The header every engine file begins with: four magic letters, the format
// version and a count.
#pragma once

#include <cstdint>
#include <cstring>
#include <span>
#include <string_view>

#include "formats/byte_reader.h"

namespace nv {

// The version every engine file carries after its magic.
constexpr uint32_t kFormatVersion = 404;

inline bool has_magic(std::span<const uint8_t> block, std::string_view magic) {
  return block.size() >= 4 && std::memcmp(block.data(), magic.data(), 4) == 0;
}

inline uint32_t header_version(std::span<const uint8_t> block) { return block.size() >= 8 ? load_u32(block.data() + 4) : 0; }

}  // namespace nv
