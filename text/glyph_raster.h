// From a rendered glyph to a `Glyph`: the square one-bit cell the glyph is
// drawn into, synthetic bold, the 4x4 anti-aliasing and the measure.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/fonts.h"
#include "text/glyph.h"

namespace nv::text {

// A square cell, one byte per pixel (1 inked, 0 not), rows top-down. With
// anti-aliasing it is four times the font size.
struct GlyphCell {
  int32_t side = 0;
  std::vector<uint8_t> ink;  // side x side
};

// Scale of the cell: 4 with anti-aliasing, else 1.
constexpr int32_t cell_scale(bool antialias) { return antialias ? 4 : 1; }

// The cell's side: the font size times the scale, rounded up to 32.
constexpr int32_t cell_side(int32_t size, bool antialias) { return (size * cell_scale(antialias) + 31) / 32 * 32; }

// An empty cell of `side`, and `g` placed in it: the pen at the left edge,
// the baseline at row `g.ascent`; what falls outside the cell is cut.
GlyphCell make_cell(int32_t side, const platform::MonoGlyph& g);

// Width added by synthetic bold, in cell pixels, for a font `cell_px` high:
// one pixel per 24 pixels of size, at least one.
constexpr int32_t bold_strength(int32_t cell_px) { return cell_px / 24 > 1 ? cell_px / 24 : 1; }

// Synthetic bold for a family without a bold face: every inked pixel also
// inks the `strength` pixels to its right (inside the cell).
void overstrike(GlyphCell& cell, int32_t strength);

// The glyph at `size` from its cell: coverage (with anti-aliasing each
// pixel covers a 4x4 block and c inked pixels of it give alpha
// min(16c, 255); without, an inked pixel is 255) and the measure. A fixed
// pitch font advances size / 2 for a single-byte and size for a double-byte
// character and is size high; a proportional font advances by its inked
// width plus 4 and is its inked height plus 4 high, both at most size
// (measured in output pixels: the cell's extent divided by its scale).
Glyph glyph_from_cell(const GlyphCell& cell, int32_t size, bool antialias, bool fixed_pitch, bool double_byte);

}  // namespace nv::text
