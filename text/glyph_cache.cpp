#include "text/glyph_cache.h"

#include <string>

#include "platform/encoding.h"
#include "text/glyph_raster.h"

namespace nv::text {

namespace {

uint64_t key_bits(const GlyphKey& k) {
  return uint64_t(uint32_t(k.font)) << 28 | uint64_t(uint32_t(k.size) & 0x3FF) << 18 | uint64_t(k.bold) << 17 |
         uint64_t(k.antialias) << 16 | k.code;
}

}  // namespace

char32_t code_point_of(uint16_t code) {
  std::string sjis;
  if (is_double_byte_code(code)) sjis.push_back(char(code >> 8));
  sjis.push_back(char(code & 0xFF));
  const std::string utf8 = platform::sjis_to_utf8(sjis);
  // Exactly one character, decoded from UTF-8; U+FFFD marks bytes that are
  // not code page 932.
  const auto* s = reinterpret_cast<const unsigned char*>(utf8.data());
  size_t len = 0;
  char32_t cp = 0;
  if (utf8.empty()) return 0;
  if (s[0] < 0x80) {
    len = 1;
    cp = s[0];
  } else if ((s[0] & 0xE0) == 0xC0) {
    len = 2;
    cp = s[0] & 0x1F;
  } else if ((s[0] & 0xF0) == 0xE0) {
    len = 3;
    cp = s[0] & 0x0F;
  } else if ((s[0] & 0xF8) == 0xF0) {
    len = 4;
    cp = s[0] & 0x07;
  } else {
    return 0;
  }
  if (utf8.size() != len) return 0;
  for (size_t i = 1; i < len; ++i) cp = cp << 6 | (s[i] & 0x3F);
  return cp == 0xFFFD ? 0 : cp;
}

GlyphCache::GlyphCache(platform::FontService* fonts, size_t budget_bytes) : fonts_(fonts), budget_(budget_bytes) {}

void GlyphCache::clear() {
  glyphs_.clear();
  bytes_ = 0;
}

const Glyph* GlyphCache::glyph(const GlyphKey& key) {
  if (!fonts_ || key.size < 1 || key.size > 256 || key.font < 0 ||
      size_t(key.font) >= fonts_->families().size())
    return nullptr;
  const uint64_t bits = key_bits(key);
  if (auto it = glyphs_.find(bits); it != glyphs_.end()) return &it->second;

  const int32_t cell_px = key.size * cell_scale(key.antialias);
  const char32_t cp = code_point_of(key.code);
  if (!fonts_->render(key.font, cell_px, key.bold, cp, rendered_)) return nullptr;
  GlyphCell cell = make_cell(cell_side(key.size, key.antialias), rendered_);
  if (key.bold && !rendered_.bold_face) overstrike(cell, bold_strength(cell_px));
  const bool fixed = fonts_->families()[size_t(key.font)].fixed_pitch;
  Glyph g = glyph_from_cell(cell, key.size, key.antialias, fixed, is_double_byte_code(key.code));

  if (bytes_ + g.alpha.size() > budget_) clear();
  bytes_ += g.alpha.size();
  return &glyphs_.emplace(bits, std::move(g)).first->second;
}

}  // namespace nv::text
