// The lookup tables of the blend routines, built once at start-up.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace nv::gfx {

struct BlendTables {
  // Signed products: row c (0..256), entry j (0..511):
  // trunc(c x (j - 255) / 255) in product255, trunc(c x (j - 255) / 256) in
  // product256.
  std::vector<int16_t> product255;
  std::vector<int16_t> product256;
  std::vector<uint8_t> saturate_add;  // 511 entries: min(x, 255)
  std::vector<uint8_t> saturate_sub;  // 511 entries: max(x - 255, 0)
  // Row c (1..255), entry j: j x 256 / c; row 0 is zero.
  std::vector<uint16_t> reciprocal;
  // f(d, s) of every mode 0..18 at [mode x 65536 + s x 256 + d], followed by
  // 4 padding bytes so that a 32-bit read at any entry stays inside.
  std::vector<uint8_t> modes;

  int16_t product255_at(int c, int j) const { return product255[std::size_t(c) * 512 + std::size_t(j)]; }
  int16_t product256_at(int c, int j) const { return product256[std::size_t(c) * 512 + std::size_t(j)]; }
  uint16_t reciprocal_at(int c, int j) const { return reciprocal[std::size_t(c) * 256 + std::size_t(j)]; }
  const uint8_t* mode_table(int mode) const { return modes.data() + std::size_t(mode) * 65536; }
};

void build_blend_tables(BlendTables& t);

}  // namespace nv::gfx
