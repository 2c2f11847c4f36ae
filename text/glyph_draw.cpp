#include "text/glyph_draw.h"

#include <cstddef>

namespace nv::text {

namespace {

int32_t channel(uint32_t c, int shift) { return int32_t((c >> shift) & 0xFF); }

uint32_t composite(uint32_t px, uint32_t colour, uint32_t a) {
  const uint32_t old_a = px >> 24;
  const uint32_t new_a = old_a + a - (((a + 1) * old_a) >> 8);
  const int32_t num = int32_t(a) + 1, den = int32_t(new_a) + 1;
  uint32_t out = new_a << 24;
  for (int shift = 0; shift < 24; shift += 8) {
    const int32_t o = channel(px, shift), c = channel(colour, shift);
    out |= uint32_t(o + (c - o) * num / den) << shift;
  }
  return out;
}

}  // namespace

uint32_t row_colour(const GlyphPaint& p, int32_t row) {
  const uint32_t top = p.color & 0xFFFFFF;
  if (p.color2 < 0 || p.height <= 1) return top;
  const uint32_t bottom = uint32_t(p.color2) & 0xFFFFFF;
  uint32_t out = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const int32_t a = channel(top, shift), b = channel(bottom, shift);
    out |= uint32_t(a + (b - a) * row / (p.height - 1)) << shift;
  }
  return out;
}

bool draw_glyph(Surface& s, const Glyph& g, int64_t x, int64_t y, const GlyphPaint& p) {
  if (!s.pixels || g.size <= 0 || p.height <= 0) return false;
  if (x < 0 || y < 0 || x > int64_t(s.width) - g.size || y > int64_t(s.height) - p.height) return false;
  for (int32_t r = 0; r < p.height; ++r) {
    const int32_t src_row = int32_t(int64_t(r) * g.size / p.height);
    if (src_row < g.ink_top || src_row >= g.ink_bottom) continue;
    const uint8_t* cov = g.alpha.data() + size_t(src_row) * size_t(g.size);
    uint32_t* dst = s.pixels + size_t(y + r) * size_t(s.width) + size_t(x);
    const uint32_t colour = row_colour(p, r);
    if (p.drawmode == 1) {
      for (int32_t c = 0; c < g.size; ++c)
        if (cov[c]) dst[c] = composite(dst[c], colour, cov[c]);
    } else {
      for (int32_t c = 0; c < g.size; ++c)
        if (cov[c]) dst[c] = uint32_t(cov[c]) << 24 | colour;
    }
  }
  return true;
}

void draw_glyph_outlined(Surface& s, const Glyph& g, int64_t x, int64_t y, const GlyphPaint& p, int64_t offset) {
  if (offset <= 0) {
    draw_glyph(s, g, x, y, p);
    return;
  }
  // Positions beyond 2^40 and offsets beyond 2^32 are off every surface
  // either way; bounded so that the sums cannot overflow.
  auto bound = [](int64_t v, int64_t far) { return v < -far ? -far : v > far ? far : v; };
  x = bound(x, int64_t(1) << 40);
  y = bound(y, int64_t(1) << 40);
  offset = bound(offset, int64_t(1) << 32);
  for (int64_t j = -1; j <= 1; ++j)
    for (int64_t i = -1; i <= 1; ++i) draw_glyph(s, g, x + i * offset, y + j * offset, p);
}

}  // namespace nv::text
