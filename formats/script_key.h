// The 4-byte key the areas of a compiled script are scrambled with: the
// CRC-32 of a fixed text, its bytes taken most significant first. Byte k of
// an area is XORed with key byte (k mod 4).
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace nv {

constexpr std::string_view kScriptKeyText = "Nivalo compiled script 404";

using ScriptKey = std::array<uint8_t, 4>;

ScriptKey script_key();

// XORs `size` bytes at `p` with the key, starting at key byte 0.
inline void scramble(uint8_t* p, size_t size, const ScriptKey& key) {
  for (size_t k = 0; k < size; ++k) p[k] ^= key[k & 3];
}

}  // namespace nv
