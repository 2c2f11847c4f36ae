// The glyph pipeline on made-up bitmaps: placement in the cell, coverage,
// measure, row scaling, gradient and the two draw modes, checked against
// their formulas.
#include <gtest/gtest.h>

#include <vector>

#include "text/glyph_draw.h"
#include "text/glyph_raster.h"

namespace nv::text {
namespace {

// A rendered glyph whose bitmap is all ink, `w` x `h`, at (left, top).
platform::MonoGlyph solid(int ascent, int left, int top, int w, int h) {
  platform::MonoGlyph g;
  g.ascent = ascent, g.left = left, g.top = top, g.width = w, g.rows = h;
  g.pitch = (w + 7) / 8;
  g.bits.assign(size_t(g.pitch) * size_t(h), 0xFF);
  g.found = true;
  return g;
}

int inked(const GlyphCell& c, int x, int y) { return c.ink[size_t(y) * size_t(c.side) + size_t(x)]; }

TEST(GlyphCell, SideIsTheScaledSizeRoundedUpTo32) {
  EXPECT_EQ(cell_side(1, false), 32);
  EXPECT_EQ(cell_side(32, false), 32);
  EXPECT_EQ(cell_side(33, false), 64);
  EXPECT_EQ(cell_side(24, true), 96);
  EXPECT_EQ(cell_side(256, true), 1024);
}

TEST(GlyphCell, PlacesTheBitmapFromTheBaselineAndCutsWhatFallsOutside) {
  // Bitmap top 3 rows above a baseline at row 10, 2 right of the pen.
  GlyphCell c = make_cell(32, solid(10, 2, 3, 4, 5));
  int count = 0;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) count += inked(c, x, y);
  EXPECT_EQ(count, 20);
  EXPECT_EQ(inked(c, 2, 7), 1);
  EXPECT_EQ(inked(c, 5, 11), 1);
  EXPECT_EQ(inked(c, 6, 11), 0);
  EXPECT_EQ(inked(c, 2, 6), 0);
  // Left of the cell, above it, past its right and bottom edges: cut.
  GlyphCell edge = make_cell(32, solid(2, -3, 5, 40, 40));
  count = 0;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) count += inked(edge, x, y);
  EXPECT_EQ(count, 32 * 32);
}

TEST(GlyphCell, OverstrikeWidensInkToTheRightInsideTheCell) {
  GlyphCell c = make_cell(32, solid(10, 29, 10, 1, 1));
  overstrike(c, 2);
  EXPECT_EQ(inked(c, 28, 0), 0);
  EXPECT_EQ(inked(c, 29, 0), 1);
  EXPECT_EQ(inked(c, 30, 0), 1);
  EXPECT_EQ(inked(c, 31, 0), 1);
  EXPECT_EQ(bold_strength(24), 1);
  EXPECT_EQ(bold_strength(47), 1);
  EXPECT_EQ(bold_strength(96), 4);
}

TEST(GlyphCoverage, EachInkedPixelOfA4x4BlockAdds16UpTo255) {
  // Block (0, 0) gets c = 1..16 inked pixels in turn.
  for (int c = 0; c <= 16; ++c) {
    GlyphCell cell;
    cell.side = 32;
    cell.ink.assign(32 * 32, 0);
    for (int i = 0; i < c; ++i) cell.ink[size_t(i / 4) * 32 + size_t(i % 4)] = 1;
    Glyph g = glyph_from_cell(cell, 8, true, true, false);
    EXPECT_EQ(g.alpha[0], std::min(16 * c, 255)) << c;
    EXPECT_EQ(g.alpha[1], 0);
  }
  Glyph one = glyph_from_cell(make_cell(32, solid(0, 3, 0, 1, 1)), 8, false, true, false);
  EXPECT_EQ(one.alpha[3], 255);
  EXPECT_EQ(one.ink_top, 0);
  EXPECT_EQ(one.ink_bottom, 1);
}

TEST(GlyphMeasure, FixedPitchBySizeProportionalByInkPlusFour) {
  // Ink 13 x 9 cell pixels from the top-left.
  GlyphCell big = make_cell(64, solid(9, 0, 9, 13, 9));
  Glyph fixed1 = glyph_from_cell(big, 16, true, true, false);
  EXPECT_EQ(fixed1.advance, 8);
  EXPECT_EQ(fixed1.height, 16);
  Glyph fixed2 = glyph_from_cell(big, 16, true, true, true);
  EXPECT_EQ(fixed2.advance, 16);
  Glyph prop = glyph_from_cell(big, 16, true, false, false);
  EXPECT_EQ(prop.advance, 13 / 4 + 4);
  EXPECT_EQ(prop.height, 9 / 4 + 4);
  // Without anti-aliasing the cell is at the output scale.
  GlyphCell small = make_cell(32, solid(9, 0, 9, 13, 9));
  Glyph plain = glyph_from_cell(small, 16, false, false, false);
  EXPECT_EQ(plain.advance, 16);  // 13 + 4 is more than the size
  EXPECT_EQ(plain.height, 13);
  GlyphCell empty = make_cell(32, platform::MonoGlyph{});
  EXPECT_EQ(glyph_from_cell(empty, 16, false, false, false).advance, 4);
}

// A glyph whose row r is fully covered with alpha 10 * (r + 1).
Glyph striped(int size) {
  Glyph g;
  g.size = size;
  g.alpha.resize(size_t(size * size));
  for (int r = 0; r < size; ++r)
    for (int c = 0; c < size; ++c) g.alpha[size_t(r * size + c)] = uint8_t(10 * (r + 1));
  g.ink_top = 0;
  g.ink_bottom = size;
  return g;
}

TEST(GlyphDraw, RowsScaleFromTheSizeToSY) {
  Glyph g = striped(4);
  std::vector<uint32_t> px(16 * 16, 0);
  Surface s{px.data(), 16, 16};
  ASSERT_TRUE(draw_glyph(s, g, 1, 2, {0x123456, -1, 8, 0}));
  for (int r = 0; r < 8; ++r) EXPECT_EQ(px[size_t((2 + r) * 16 + 1)], uint32_t(10 * (r / 2 + 1)) << 24 | 0x123456) << r;
  EXPECT_EQ(px[size_t(10 * 16 + 1)], 0u);
  EXPECT_EQ(px[size_t(2 * 16 + 5)], 0u);  // 4 columns wide
  std::fill(px.begin(), px.end(), 0);
  ASSERT_TRUE(draw_glyph(s, g, 0, 0, {0x123456, -1, 2, 0}));
  EXPECT_EQ(px[0] >> 24, 10u);
  EXPECT_EQ(px[16] >> 24, 30u);
  EXPECT_EQ(px[32], 0u);
}

TEST(GlyphDraw, TheGradientRunsFromColorAtTheTopToColor2AtTheBottomRow) {
  GlyphPaint p{0x10FF00, 0x3000FF, 5, 0};
  for (int r = 0; r < 5; ++r) {
    const uint32_t want = uint32_t(0x10 + (0x30 - 0x10) * r / 4) << 16 | uint32_t(0xFF - 0xFF * r / 4) << 8 |
                          uint32_t(0xFF * r / 4);
    EXPECT_EQ(row_colour(p, r), want) << r;
  }
  EXPECT_EQ(row_colour({0x10FF00, 0x3000FF, 1, 0}, 0), 0x10FF00u);
  EXPECT_EQ(row_colour({0x10FF00, -1, 5, 0}, 4), 0x10FF00u);
}

TEST(GlyphDraw, Mode0WritesColourAndCoverageOnlyWhereCovered) {
  Glyph g = striped(2);
  g.alpha[1] = 0;
  std::vector<uint32_t> px(4 * 4, 0xAB00FF00);
  Surface s{px.data(), 4, 4};
  ASSERT_TRUE(draw_glyph(s, g, 0, 0, {0x0000FF, -1, 2, 0}));
  EXPECT_EQ(px[0], 0x0A0000FFu);
  EXPECT_EQ(px[1], 0xAB00FF00u);
  EXPECT_EQ(px[4], 0x140000FFu);
}

TEST(GlyphDraw, Mode1CompositesByTheFormulaForEveryAlphaPair) {
  Glyph g;
  g.size = 1;
  g.alpha = {0};
  g.ink_bottom = 1;
  std::vector<uint32_t> px(1);
  Surface s{px.data(), 1, 1};
  const uint32_t colour = 0x20C0FF;
  for (uint32_t A = 0; A < 256; ++A) {
    for (uint32_t a = 1; a < 256; ++a) {
      const uint32_t old = A << 24 | 0x80FF40;
      px[0] = old;
      g.alpha[0] = uint8_t(a);
      draw_glyph(s, g, 0, 0, {colour, -1, 1, 1});
      const uint32_t na = A + a - (((a + 1) * A) >> 8);
      ASSERT_LE(na, 255u);
      uint32_t want = na << 24;
      for (int sh = 0; sh < 24; sh += 8) {
        const int o = int((old >> sh) & 0xFF), c = int((colour >> sh) & 0xFF);
        want |= uint32_t(o + (c - o) * int(a + 1) / int(na + 1)) << sh;
      }
      ASSERT_EQ(px[0], want) << "A " << A << " a " << a;
    }
  }
  // No coverage: the pixel stays as it was.
  px[0] = 0x01020304;
  g.alpha[0] = 0;
  draw_glyph(s, g, 0, 0, {colour, -1, 1, 1});
  EXPECT_EQ(px[0], 0x01020304u);
}

TEST(GlyphDraw, NothingIsDrawnWhenTheBoxLeavesTheSurface) {
  Glyph g = striped(4);
  std::vector<uint32_t> px(8 * 8, 0);
  Surface s{px.data(), 8, 8};
  EXPECT_FALSE(draw_glyph(s, g, -1, 0, {0xFFFFFF, -1, 4, 0}));
  EXPECT_FALSE(draw_glyph(s, g, 0, -1, {0xFFFFFF, -1, 4, 0}));
  EXPECT_FALSE(draw_glyph(s, g, 5, 0, {0xFFFFFF, -1, 4, 0}));
  EXPECT_FALSE(draw_glyph(s, g, 0, 3, {0xFFFFFF, -1, 6, 0}));
  EXPECT_FALSE(draw_glyph(s, g, INT64_MAX, INT64_MIN, {0xFFFFFF, -1, 4, 0}));
  EXPECT_EQ(std::count(px.begin(), px.end(), 0u), 64);
  EXPECT_TRUE(draw_glyph(s, g, 4, 4, {0xFFFFFF, -1, 4, 0}));
}

TEST(GlyphDraw, AnOutlineDrawsAtNinePositions) {
  Glyph dot;
  dot.size = 1;
  dot.alpha = {255};
  dot.ink_bottom = 1;
  std::vector<uint32_t> px(9 * 9, 0);
  Surface s{px.data(), 9, 9};
  draw_glyph_outlined(s, dot, 4, 4, {0xFFFFFF, -1, 1, 0}, 3);
  std::vector<int> at;
  for (int i = 0; i < 81; ++i)
    if (px[size_t(i)]) at.push_back(i);
  EXPECT_EQ(at, (std::vector<int>{10, 13, 16, 37, 40, 43, 64, 67, 70}));
  std::fill(px.begin(), px.end(), 0);
  draw_glyph_outlined(s, dot, INT64_MAX, 0, {0xFFFFFF, -1, 1, 0}, INT64_MAX);
  EXPECT_EQ(std::count(px.begin(), px.end(), 0u), 81);
}

}  // namespace
}  // namespace nv::text
