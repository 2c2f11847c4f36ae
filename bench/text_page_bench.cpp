// A page of 400 characters of message text drawn through the text output
// (queue, placement, glyph cache, drawing into a layer's pixels), with a
// cold and a warm glyph cache, at 24 pixels with and without
// anti-aliasing. Peer in the same run, on the same font file and glyphs:
// FreeType rendering each glyph itself (one-bit and anti-aliased at the em
// size, and one-bit at four times the size as the engine's anti-aliasing
// does).
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/encoding.h"
#include "platform/fonts.h"
#include "text/glyph_cache.h"
#include "text/text_queue.h"
#include "text/text_step.h"

namespace {

using Clock = std::chrono::steady_clock;
double us_since(Clock::time_point t) { return std::chrono::duration<double, std::micro>(Clock::now() - t).count(); }

constexpr const char* kParagraph =
    "吾輩は猫である。名前はまだ無い。どこで生れたかとんと見当がつかぬ。何でも薄暗いじめじめした所で"
    "ニャーニャー泣いていた事だけは記憶している。The quick brown fox jumps over the lazy dog, 1234567890. "
    "「ようこそ、旅の方！」と、宿の主人は言った。";

// Characters of a page: the paragraph repeated up to 400 characters.
std::string page_text() {
  const std::string sjis = nv::platform::utf8_to_sjis(kParagraph);
  std::string out;
  size_t chars = 0;
  while (chars < 400)
    for (size_t i = 0; i < sjis.size() && chars < 400; ++chars) {
      const size_t n = (uint8_t(sjis[i]) >= 0x81 && uint8_t(sjis[i]) <= 0x9F) || uint8_t(sjis[i]) >= 0xE0 ? 2 : 1;
      out.append(sjis, i, n);
      i += n;
    }
  return out;
}

// Draws the page once; returns microseconds.
double draw_page(const std::string& text, nv::text::GlyphSource& glyphs, int32_t font, bool aa, std::vector<uint32_t>& px) {
  nv::text::TextState s;
  s.output_mode = 1;
  s.attrs.font = font;
  s.attrs.sx = s.attrs.sy = 24;
  s.attrs.antialias = aa;
  s.skip = true;
  std::fill(px.begin(), px.end(), 0);
  nv::text::Surface surface{px.data(), 1280, 720};
  nv::text::queue_word_text(s, text);
  const auto t = Clock::now();
  nv::text::StepResult r = nv::text::step_text(s, &surface, glyphs, 0);
  const double us = us_since(t);
  if (!r.done || r.error) std::fprintf(stderr, "the page did not finish (error %d)\n", r.error);
  return us;
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main() {
  auto fonts = nv::platform::make_font_service(nv::platform::FontSetup::pinned);
  const int32_t font = fonts->find_family("ＭＳ ゴシック");
  if (font < 0) {
    std::fprintf(stderr, "no Japanese font (scripts/install-deps.sh)\n");
    return 1;
  }
  const std::string text = page_text();
  std::vector<char32_t> cps;
  std::set<char32_t> distinct;
  for (size_t i = 0; i < text.size();) {
    const size_t n = (uint8_t(text[i]) >= 0x81 && uint8_t(text[i]) <= 0x9F) || uint8_t(text[i]) >= 0xE0 ? 2 : 1;
    const uint16_t code = n == 2 ? uint16_t(uint8_t(text[i]) << 8 | uint8_t(text[i + 1])) : uint8_t(text[i]);
    cps.push_back(nv::text::code_point_of(code));
    distinct.insert(cps.back());
    i += n;
  }
  std::vector<uint32_t> px(1280 * 720);
  constexpr int kReps = 15;

  std::printf("page: %zu characters, %zu distinct, font %s, 24 px\n", cps.size(), distinct.size(),
              fonts->families()[size_t(font)].name.c_str());
  double cold_per_glyph[2] = {0, 0}, warm_per_char[2] = {0, 0};
  for (bool aa : {false, true}) {
    std::vector<double> cold, warm;
    for (int i = 0; i < kReps; ++i) {
      nv::text::GlyphCache c(fonts.get());
      cold.push_back(draw_page(text, c, font, aa, px));
    }
    nv::text::GlyphCache cache(fonts.get());
    draw_page(text, cache, font, aa, px);
    for (int i = 0; i < kReps; ++i) warm.push_back(draw_page(text, cache, font, aa, px));
    const double c = median(cold), w = median(warm);
    cold_per_glyph[aa] = c / double(distinct.size());
    warm_per_char[aa] = w / double(cps.size());
    std::printf("%-16s cold %8.1f us (%6.2f us per distinct glyph)   warm %7.1f us (%5.2f us per character)\n",
                aa ? "anti-aliased:" : "one bit:", c, c / double(distinct.size()), w, w / double(cps.size()));
  }

  // FreeType on its own, same file and em sizes.
  nv::platform::FaceChoice face, face4;
  fonts->describe(font, 24, false, U'あ', face);
  fonts->describe(font, 96, false, U'あ', face4);
  FT_Library lib = nullptr;
  FT_Init_FreeType(&lib);
  FT_Face ft = nullptr;
  if (FT_New_Face(lib, face.file.c_str(), face.index, &ft) != 0) return 1;
  auto render_all = [&](int em, FT_Int32 flags, FT_Render_Mode mode) {
    FT_Set_Pixel_Sizes(ft, 0, FT_UInt(em));
    std::vector<double> runs;
    for (int r = 0; r < kReps; ++r) {
      const auto t = Clock::now();
      for (char32_t cp : distinct) {
        FT_Load_Char(ft, cp, flags);
        FT_Render_Glyph(ft->glyph, mode);
      }
      runs.push_back(us_since(t));
    }
    return median(runs) / double(distinct.size());
  };
  const double ft_mono = render_all(face.em_pixels, FT_LOAD_TARGET_MONO | FT_LOAD_NO_BITMAP, FT_RENDER_MODE_MONO);
  const double ft_aa = render_all(face.em_pixels, FT_LOAD_TARGET_NORMAL | FT_LOAD_NO_BITMAP, FT_RENDER_MODE_NORMAL);
  const double ft_mono4 = render_all(face4.em_pixels, FT_LOAD_TARGET_MONO | FT_LOAD_NO_BITMAP, FT_RENDER_MODE_MONO);

  std::printf("FreeType alone:  one-bit render %.2f us per glyph, anti-aliased render %.2f us per glyph,\n"
              "                 one-bit render at 4x %.2f us per glyph\n",
              ft_mono, ft_aa, ft_mono4);
  std::printf("ratios: cold one-bit glyph / FreeType one-bit render %.2f; cold anti-aliased glyph / FreeType 4x "
              "render %.2f;\n        warm character (placed and drawn) / FreeType anti-aliased render %.3f (one bit), "
              "%.3f (anti-aliased)\n",
              cold_per_glyph[0] / ft_mono, cold_per_glyph[1] / ft_mono4, warm_per_char[0] / ft_aa,
              warm_per_char[1] / ft_aa);
  FT_Done_Face(ft);
  FT_Done_FreeType(lib);
  return 0;
}
