// A glyph ready to draw: its coverage at the font size, and its measure.
#pragma once

#include <cstdint>
#include <vector>

namespace nv::text {

// What a glyph depends on. `code` is the Shift-JIS character: one byte, or
// the lead byte times 256 plus the trail byte.
struct GlyphKey {
  int32_t font = 0;  // position in the font list
  int32_t size = 1;  // SX, 1..256
  bool bold = false;
  bool antialias = false;
  uint16_t code = 0;

  bool operator==(const GlyphKey&) const = default;
};

constexpr bool is_double_byte_code(uint16_t code) { return code > 0xFF; }

struct Glyph {
  int32_t size = 0;      // the coverage is size x size pixels
  int32_t advance = 0;   // how far the cursor moves after the glyph
  int32_t height = 0;    // the measured height
  int32_t ink_top = 0;   // rows ink_top .. ink_bottom - 1 hold all coverage
  int32_t ink_bottom = 0;
  std::vector<uint8_t> alpha;  // size x size, 0..255, rows top-down
};

// Where the text output gets its glyphs: the glyph cache over the installed
// fonts, or a stand-in with fixed advances in tests.
class GlyphSource {
 public:
  virtual ~GlyphSource() = default;
  // Null when the font cannot be opened or sized.
  virtual const Glyph* glyph(const GlyphKey& key) = 0;
};

}  // namespace nv::text
