// Glyphs the engine draws from the pinned fonts, against the same font
// files rendered by ImageMagick (FreeType underneath, its own hinting and
// placement) at the same em size. The pictures are made at test time;
// hinting and rounding differ a little between the two, so ink masks are
// compared after aligning their bounding boxes, with a small tolerance.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/fonts.h"
#include "tests/support/shell.h"
#include "tests/support/temp_dir.h"
#include "text/glyph_cache.h"
#include "text/glyph_raster.h"

namespace nv::text {
namespace {

// A grey picture, 0..255, ink bright.
struct Grey {
  int w = 0, h = 0;
  std::vector<uint8_t> v;
  uint8_t at(int x, int y) const { return (x < 0 || y < 0 || x >= w || y >= h) ? 0 : v[size_t(y) * size_t(w) + size_t(x)]; }
};

Grey read_pgm(const std::string& cmd) {
  Grey g;
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return g;
  int maxval = 0;
  if (std::fscanf(p, "P5 %d %d %d", &g.w, &g.h, &maxval) == 3 && maxval == 255 && g.w > 0 && g.h > 0) {
    std::fgetc(p);
    g.v.resize(size_t(g.w) * size_t(g.h));
    g.v.resize(std::fread(g.v.data(), 1, g.v.size(), p));
  }
  pclose(p);
  if (g.v.size() != size_t(g.w) * size_t(g.h)) g = Grey{};
  return g;
}

struct Box {
  int x0 = 0, y0 = 0, x1 = -1, y1 = -1;  // inclusive; empty when x1 < x0
  bool empty() const { return x1 < x0; }
  int w() const { return x1 - x0 + 1; }
  int h() const { return y1 - y0 + 1; }
};

Box ink_box(const Grey& g) {
  Box b{g.w, g.h, -1, -1};
  for (int y = 0; y < g.h; ++y)
    for (int x = 0; x < g.w; ++x)
      if (g.at(x, y) >= 128) {
        b.x0 = std::min(b.x0, x), b.y0 = std::min(b.y0, y);
        b.x1 = std::max(b.x1, x), b.y1 = std::max(b.y1, y);
      }
  if (b.x1 < 0) return Box{};
  return b;
}

Grey from_glyph(const Glyph& g) { return Grey{g.size, g.size, g.alpha}; }

Grey from_cell(const GlyphCell& c) {
  Grey g{c.side, c.side, c.ink};
  for (uint8_t& v : g.v) v = v ? 255 : 0;
  return g;
}

std::string utf8_of(char32_t cp) {
  std::string s;
  if (cp < 0x80) {
    s += char(cp);
  } else if (cp < 0x800) {
    s += char(0xC0 | (cp >> 6)), s += char(0x80 | (cp & 0x3F));
  } else {
    s += char(0xE0 | (cp >> 12)), s += char(0x80 | ((cp >> 6) & 0x3F)), s += char(0x80 | (cp & 0x3F));
  }
  return s;
}

// ImageMagick's one-bit rendering of `cp` from `file` at em size `em`, in
// the middle of a canvas three ems wide (a label's own canvas follows the
// font's typographic descent and would cut the lowest descenders).
Grey im_mono(const platform::FaceChoice& face, char32_t cp, const std::string& extra = "") {
  const std::string side = std::to_string(face.em_pixels * 3);
  const std::string cmd = "convert -background black -fill white -font " + test::quoted(face.file) + " -size " + side +
                          "x" + side + " -gravity center -density 72 -pointsize " + std::to_string(face.em_pixels) +
                          " +antialias label:" +
                          test::quoted(utf8_of(cp)) + " " + extra + " -depth 8 pgm:- 2>/dev/null";
  return read_pgm(cmd);
}

// Pixels that differ between `a` and `b` once b's ink box is moved onto a's,
// and the ink both have.
struct Difference {
  int differ = 0, ink = 0;
};
Difference compare_aligned(const Grey& a, const Grey& b) {
  const Box ba = ink_box(a), bb = ink_box(b);
  Difference d;
  if (ba.empty() || bb.empty()) return Difference{ba.empty() == bb.empty() ? 0 : 1 << 20, 0};
  const int dx = bb.x0 - ba.x0, dy = bb.y0 - ba.y0;
  for (int y = std::min(ba.y0, bb.y0 - dy) - 1; y <= std::max(ba.y1, bb.y1 - dy) + 1; ++y)
    for (int x = std::min(ba.x0, bb.x0 - dx) - 1; x <= std::max(ba.x1, bb.x1 - dx) + 1; ++x) {
      const bool ia = a.at(x, y) >= 128, ib = b.at(x + dx, y + dy) >= 128;
      d.differ += ia != ib;
      d.ink += ia;
    }
  return d;
}

class GlyphReference : public ::testing::Test {
 protected:
  void SetUp() override {
    if (platform::pinned_font_files().size() < 10) GTEST_SKIP() << "the pinned fonts are not all installed";
    if (test::output_of("convert -version 2>/dev/null").find("ImageMagick") == std::string::npos)
      GTEST_SKIP() << "ImageMagick is not installed";
    fonts = platform::make_font_service(platform::FontSetup::pinned);
    cache = std::make_unique<GlyphCache>(fonts.get());
  }
  int32_t font(const char* name) {
    const auto& f = fonts->families();
    for (size_t i = 0; i < f.size(); ++i)
      if (f[i].name == name) return int32_t(i);
    ADD_FAILURE() << "no family " << name;
    return 0;
  }
  std::unique_ptr<platform::FontService> fonts;
  std::unique_ptr<GlyphCache> cache;
};

struct Sample {
  const char* family;
  uint16_t code;  // Shift-JIS
  char32_t cp;
};
const Sample kSamples[] = {
    {"IPAゴシック", 0x82A0, U'あ'}, {"IPAゴシック", 0x8ABF, U'漢'}, {"IPAゴシック", 'A', U'A'},
    {"IPAゴシック", 'g', U'g'},      {"IPAゴシック", 0xB1, U'ｱ'},    {"IPA明朝", 0x82A0, U'あ'},
    {"IPA Pゴシック", 'g', U'g'},    {"DejaVu Sans", 'g', U'g'},     {"DejaVu Serif", 'A', U'A'},
};

TEST_F(GlyphReference, OneBitGlyphsMatchImageMagicksRendering) {
  for (const Sample& s : kSamples) {
    for (int32_t size : {12, 16, 24, 33, 48}) {
      const int32_t f = font(s.family);
      const Glyph* g = cache->glyph({f, size, false, false, s.code});
      ASSERT_TRUE(g);
      platform::FaceChoice face;
      ASSERT_TRUE(fonts->describe(f, size, false, s.cp, face));
      const Grey ref = im_mono(face, s.cp);
      ASSERT_GT(ref.w, 0) << "ImageMagick drew nothing";
      const Grey got = from_glyph(*g);
      const Box bg = ink_box(got), br = ink_box(ref);
      const std::string what = std::string(s.family) + " U+" + std::to_string(uint32_t(s.cp)) + " at " + std::to_string(size);
      ASSERT_FALSE(bg.empty()) << what;
      // Whole glyph, descenders included: same ink height, inside the cell.
      EXPECT_NEAR(bg.h(), br.h(), 1) << what;
      EXPECT_NEAR(bg.w(), br.w(), 1) << what;
      EXPECT_LT(bg.y1, size) << what;
      const Difference d = compare_aligned(got, ref);
      EXPECT_LE(d.differ, std::max(3, d.ink * 6 / 100)) << what << ": " << d.differ << " of " << d.ink;
    }
  }
}

// With anti-aliasing each pixel's alpha is min(16c, 255) for the c inked
// pixels of its 4x4 block of a glyph drawn four times as large: the
// reference is ImageMagick's one-bit rendering at that size, moved onto the
// engine's cell, reduced by ImageMagick's box average and mapped with -fx.
TEST_F(GlyphReference, AntiAliasedGlyphsMatchTheReducedLargeRendering) {
  test::TempDir dir;
  for (const Sample& s : kSamples) {
    for (int32_t size : {10, 16, 24}) {
      const int32_t f = font(s.family);
      const Glyph* g = cache->glyph({f, size, false, true, s.code});
      ASSERT_TRUE(g);
      platform::FaceChoice face;
      ASSERT_TRUE(fonts->describe(f, size * 4, false, s.cp, face));
      platform::MonoGlyph mono;
      ASSERT_TRUE(fonts->render(f, size * 4, false, s.cp, mono));
      const Box cell_box = ink_box(from_cell(make_cell(cell_side(size, true), mono)));
      const auto big = dir.path() / "big.pgm";
      const Grey ref_big = im_mono(face, s.cp, "-write " + test::quoted(big));
      const Box rb = ink_box(ref_big);
      ASSERT_FALSE(rb.empty() || cell_box.empty());
      const int ox = rb.x0 - cell_box.x0, oy = rb.y0 - cell_box.y0;
      auto offset = [](int v) { return (v >= 0 ? "+" : "") + std::to_string(v); };
      const Grey ref = read_pgm("convert " + test::quoted(big) + " -background black -gravity NorthWest -extent " +
                                std::to_string(size * 4) + "x" + std::to_string(size * 4) + offset(ox) + offset(oy) +
                                " -scale 25% -fx 'min(round(u*16)*16/255,1)' -depth 8 pgm:- 2>/dev/null");
      ASSERT_EQ(ref.w, size);
      int far = 0, covered = 0;
      for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
          const int a = g->alpha[size_t(y) * size_t(size) + size_t(x)], b = ref.at(x, y);
          far += std::abs(a - b) > 32;  // more than two of the sixteen pixels
          covered += a > 0;
        }
      EXPECT_LE(far, std::max(2, covered / 10))
          << s.family << " U+" << uint32_t(s.cp) << " at " << size << ": " << far << " of " << covered;
    }
  }
}

// A family with a bold face draws bold from it (ImageMagick renders the
// same file); one without overstrikes: each inked pixel inks the
// max(1, size / 24) pixels right of it too.
TEST_F(GlyphReference, BoldUsesTheBoldFaceElseOverstrikes) {
  const int32_t sans = font("DejaVu Sans");
  platform::FaceChoice face;
  ASSERT_TRUE(fonts->describe(sans, 24, true, U'R', face));
  ASSERT_TRUE(face.bold_face);
  const Glyph* bold = cache->glyph({sans, 24, true, false, 'R'});
  ASSERT_TRUE(bold);
  const Difference d = compare_aligned(from_glyph(*bold), im_mono(face, U'R'));
  EXPECT_LE(d.differ, std::max(3, d.ink * 6 / 100)) << d.differ << " of " << d.ink;

  const int32_t gothic = font("IPAゴシック");
  for (int32_t size : {16, 24, 50}) {
    for (uint16_t code : {uint16_t('R'), uint16_t(0x8ABF)}) {
      const Glyph* reg = cache->glyph({gothic, size, false, false, code});
      const Glyph* b = cache->glyph({gothic, size, true, false, code});
      ASSERT_TRUE(reg && b);
      const int s = std::max(1, size / 24);
      int wrong = 0;
      for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
          bool want = false;
          for (int k = 0; k <= s && k <= x; ++k) want |= reg->alpha[size_t(y * size + x - k)] != 0;
          wrong += want != (b->alpha[size_t(y * size + x)] != 0);
        }
      EXPECT_EQ(wrong, 0) << "size " << size << " code " << code;
    }
  }
}

// A proportional face advances by its ink width plus 4, a fixed-pitch face
// by half the size for a single byte and the size for a double byte.
TEST_F(GlyphReference, AdvancesFollowPitch) {
  const int32_t gothic = font("IPAゴシック"), pgothic = font("IPA Pゴシック");
  EXPECT_EQ(cache->glyph({gothic, 24, false, false, 'i'})->advance, 12);
  EXPECT_EQ(cache->glyph({gothic, 24, false, false, 0x82A0})->advance, 24);
  EXPECT_EQ(cache->glyph({gothic, 24, false, true, 0xB1})->advance, 12);
  const Glyph* i = cache->glyph({pgothic, 24, false, false, 'i'});
  const Glyph* m = cache->glyph({pgothic, 24, false, false, 'm'});
  ASSERT_TRUE(i && m);
  int right = 0;
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 24; ++x)
      if (m->alpha[size_t(y * 24 + x)]) right = std::max(right, x + 1);
  EXPECT_EQ(m->advance, std::min(24, right + 4));
  EXPECT_LT(i->advance, m->advance);
  // The space has no ink: 4 pixels.
  EXPECT_EQ(cache->glyph({pgothic, 24, false, true, ' '})->advance, 4);
}

TEST_F(GlyphReference, TheCacheKeepsGlyphsAndStartsOverPastItsBudget) {
  GlyphCache small(fonts.get(), 3 * 24 * 24);
  const int32_t gothic = font("IPAゴシック");
  const Glyph* a = small.glyph({gothic, 24, false, false, 'a'});
  EXPECT_EQ(small.glyph({gothic, 24, false, false, 'a'}), a);
  small.glyph({gothic, 24, true, false, 'a'});
  small.glyph({gothic, 24, false, true, 'a'});
  EXPECT_EQ(small.size(), 3u);
  small.glyph({gothic, 25, false, false, 'a'});
  EXPECT_EQ(small.size(), 1u);
  EXPECT_EQ(small.glyph({gothic, 0, false, false, 'a'}), nullptr);
  EXPECT_EQ(small.glyph({gothic, 257, false, false, 'a'}), nullptr);
  EXPECT_EQ(small.glyph({int32_t(fonts->families().size()), 24, false, false, 'a'}), nullptr);
  GlyphCache none(nullptr);
  EXPECT_EQ(none.glyph({0, 24, false, false, 'a'}), nullptr);
}

TEST(CodePoints, ShiftJisCodesBecomeUnicode) {
  EXPECT_EQ(code_point_of('A'), U'A');
  EXPECT_EQ(code_point_of(0x82A0), U'あ');
  EXPECT_EQ(code_point_of(0x8ABF), U'漢');
  EXPECT_EQ(code_point_of(0xB1), U'ｱ');
  EXPECT_EQ(code_point_of(0x8149), U'！');
  EXPECT_EQ(code_point_of(0x81), 0u);    // a lead byte alone
  EXPECT_EQ(code_point_of(0x8120), 0u);  // a lead byte with a byte that cannot follow it
  EXPECT_EQ(code_point_of(0xFF), 0u);
}

}  // namespace
}  // namespace nv::text
