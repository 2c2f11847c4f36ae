#include "graphics/blend_tables.h"

#include "graphics/blend_modes.h"

namespace nv::gfx {

void build_blend_tables(BlendTables& t) {
  t.product255.assign(257 * 512, 0);
  t.product256.assign(257 * 512, 0);
  for (int c = 0; c <= 256; ++c) {
    for (int j = 0; j < 512; ++j) {
      t.product255[size_t(c) * 512 + size_t(j)] = int16_t(c * (j - 255) / 255);
      t.product256[size_t(c) * 512 + size_t(j)] = int16_t(c * (j - 255) / 256);
    }
  }
  t.saturate_add.resize(511);
  t.saturate_sub.resize(511);
  for (int x = 0; x < 511; ++x) {
    t.saturate_add[size_t(x)] = uint8_t(x < 255 ? x : 255);
    t.saturate_sub[size_t(x)] = uint8_t(x > 255 ? x - 255 : 0);
  }
  t.reciprocal.assign(256 * 256, 0);
  for (int c = 1; c < 256; ++c) {
    for (int j = 0; j < 256; ++j) t.reciprocal[size_t(c) * 256 + size_t(j)] = uint16_t(j * 256 / c);
  }
  t.modes.assign(size_t(kBlendModeCount) * 65536 + 4, 0);
  for (int m = 0; m < kBlendModeCount; ++m) {
    uint8_t* row = t.modes.data() + size_t(m) * 65536;
    for (int s = 0; s < 256; ++s) {
      for (int d = 0; d < 256; ++d) row[s * 256 + d] = blend_byte(m, d, s);
    }
  }
}

}  // namespace nv::gfx
