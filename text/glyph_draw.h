// Drawing a glyph into 32-bit pixels (bytes blue, green, red, alpha): rows
// scaled from the font size to SY, a vertical colour gradient, and the two
// draw modes.
#pragma once

#include <cstdint>

#include "text/glyph.h"

namespace nv::text {

// Pixels to draw into, `width` x `height`, rows top-down without padding.
struct Surface {
  uint32_t* pixels = nullptr;
  int32_t width = 0, height = 0;
};

struct GlyphPaint {
  uint32_t color = 0xFFFFFF;  // 0xRRGGBB at the top row
  int32_t color2 = -1;        // 0xRRGGBB at the bottom row; -1: no gradient
  int32_t height = 1;         // SY: rows drawn
  int32_t drawmode = 0;       // 0 write, 1 composite
};

// The colour of output row `row` of `rows`: each channel moves from `color`
// to `color2` linearly (integer, truncated); constant without a gradient or
// for a single row.
uint32_t row_colour(const GlyphPaint& p, int32_t row);

// Draws `g` with its top-left corner at (x, y) over g.size columns and
// p.height rows (row r shows glyph row r * g.size / p.height). Nothing is
// drawn when that box does not lie wholly inside the surface; returns
// whether it was drawn. Pixels without coverage are left alone.
// Mode 0 writes the colour and the coverage as alpha. Mode 1 composites:
// with A the pixel's alpha and a the coverage, the new alpha is
// A + a - (((a + 1) * A) >> 8) and each channel moves from its old value
// toward the colour by (a + 1) / (new alpha + 1).
bool draw_glyph(Surface& s, const Glyph& g, int64_t x, int64_t y, const GlyphPaint& p);

// The glyph drawn at the nine positions (x + i * offset, y + j * offset),
// i and j from -1 to 1, for an outline; offset 0 draws it once.
void draw_glyph_outlined(Surface& s, const Glyph& g, int64_t x, int64_t y, const GlyphPaint& p, int64_t offset);

}  // namespace nv::text
