#include "text/glyph_raster.h"

#include <algorithm>

namespace nv::text {

GlyphCell make_cell(int32_t side, const platform::MonoGlyph& g) {
  GlyphCell cell;
  cell.side = side;
  cell.ink.assign(size_t(side) * size_t(side), 0);
  const int64_t top_row = int64_t(g.ascent) - g.top;
  for (int r = 0; r < g.rows; ++r) {
    const int64_t y = top_row + r;
    if (y < 0 || y >= side) continue;
    const uint8_t* bits = g.bits.data() + size_t(r) * size_t(g.pitch);
    uint8_t* row = cell.ink.data() + size_t(y) * size_t(side);
    // Bitmap columns that land inside the cell.
    const int64_t first = std::max<int64_t>(0, -int64_t(g.left));
    const int64_t last = std::min<int64_t>(g.width, int64_t(side) - g.left);
    for (int64_t c = first; c < last; ++c) row[g.left + c] = (bits[c >> 3] >> (7 - (c & 7))) & 1;
  }
  return cell;
}

void overstrike(GlyphCell& cell, int32_t strength) {
  if (strength <= 0) return;
  const size_t side = size_t(cell.side);
  std::vector<uint8_t> row(side);
  for (size_t y = 0; y < side; ++y) {
    uint8_t* dst = cell.ink.data() + y * side;
    std::copy(dst, dst + side, row.begin());
    // dst[x] = any of row[x - strength .. x], kept as a count over the window.
    int inked = 0;
    for (size_t x = 0; x < side; ++x) {
      inked += row[x];
      if (x >= size_t(strength) + 1) inked -= row[x - size_t(strength) - 1];
      dst[x] = inked > 0 ? 1 : 0;
    }
  }
}

Glyph glyph_from_cell(const GlyphCell& cell, int32_t size, bool antialias, bool fixed_pitch, bool double_byte) {
  Glyph g;
  g.size = size;
  g.alpha.assign(size_t(size) * size_t(size), 0);
  const int32_t scale = cell_scale(antialias);
  const size_t side = size_t(cell.side);

  int32_t ink_w = 0, ink_h = 0;  // extent in cell pixels, from the cell's top-left
  for (size_t y = 0; y < side; ++y) {
    const uint8_t* row = cell.ink.data() + y * side;
    for (size_t x = side; x-- > 0;) {
      if (!row[x]) continue;
      ink_w = std::max(ink_w, int32_t(x) + 1);
      ink_h = int32_t(y) + 1;
      break;
    }
  }

  g.ink_top = size;
  const size_t span = size_t(size) * size_t(scale);  // cell columns the glyph covers
  std::vector<uint8_t> column_sums(span);
  for (int32_t oy = 0; oy < size; ++oy) {
    uint8_t* out = g.alpha.data() + size_t(oy) * size_t(size);
    // Inked pixels per cell column over the output row's `scale` cell rows.
    const uint8_t* in = cell.ink.data() + size_t(oy) * size_t(scale) * side;
    std::copy(in, in + span, column_sums.begin());
    for (int32_t j = 1; j < scale; ++j)
      for (size_t x = 0; x < span; ++x) column_sums[x] = uint8_t(column_sums[x] + in[size_t(j) * side + x]);
    bool any = false;
    for (int32_t ox = 0; ox < size; ++ox) {
      int c = 0;
      for (int32_t i = 0; i < scale; ++i) c += column_sums[size_t(ox * scale + i)];
      const int a = antialias ? std::min(16 * c, 255) : c * 255;
      out[ox] = uint8_t(a);
      any |= a != 0;
    }
    if (any) {
      g.ink_top = std::min(g.ink_top, oy);
      g.ink_bottom = oy + 1;
    }
  }
  if (g.ink_bottom == 0) g.ink_top = 0;

  if (fixed_pitch) {
    g.advance = double_byte ? size : size / 2;
    g.height = size;
  } else {
    g.advance = std::min(size, ink_w / scale + 4);
    g.height = std::min(size, ink_h / scale + 4);
  }
  return g;
}

}  // namespace nv::text
