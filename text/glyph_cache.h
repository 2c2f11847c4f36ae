// Glyphs kept once drawn, keyed by font, size, weight, anti-aliasing and
// character, so that a page of text already seen costs only the copying of
// coverage into the layer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_map>

#include "platform/fonts.h"
#include "text/glyph.h"

namespace nv::text {

// The Unicode code point of a Shift-JIS character code (see GlyphKey), or 0
// when code page 932 has no character there.
char32_t code_point_of(uint16_t code);

class GlyphCache final : public GlyphSource {
 public:
  // `fonts` may be null: then no glyph can be made. When the glyphs kept
  // exceed `budget_bytes` of coverage the cache starts over.
  explicit GlyphCache(platform::FontService* fonts, size_t budget_bytes = size_t(32) << 20);

  const Glyph* glyph(const GlyphKey& key) override;

  size_t size() const { return glyphs_.size(); }
  void clear();

 private:
  platform::FontService* fonts_;
  size_t budget_;
  size_t bytes_ = 0;
  std::unordered_map<uint64_t, Glyph> glyphs_;
  platform::MonoGlyph rendered_;  // reused between misses
};

}  // namespace nv::text
