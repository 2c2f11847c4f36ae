// The two checksums the engine's files use, with zlib's definitions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace nv {

// CRC-32 of zlib (labels, pack names, MATH HASH).
uint32_t crc32_of(std::span<const uint8_t> bytes, uint32_t crc = 0);
inline uint32_t crc32_of(std::string_view s, uint32_t crc = 0) {
  return crc32_of(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(s.data()), s.size()), crc);
}

// adler-32 of zlib. Pack data checksums start from 1, tree-node names from 0.
uint32_t adler32_of(std::span<const uint8_t> bytes, uint32_t adler);
inline uint32_t adler32_of(std::string_view s, uint32_t adler) {
  return adler32_of(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(s.data()), s.size()), adler);
}

}  // namespace nv
