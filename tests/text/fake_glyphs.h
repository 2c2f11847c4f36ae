// A stand-in for the fonts: every glyph is one covered pixel at its top-left
// corner, and advances by its size (double-byte) or half of it.
#pragma once

#include <map>
#include <tuple>

#include "text/glyph.h"
#include "text/text_step.h"

namespace nv::text::test {

class FixedGlyphs : public GlyphSource {
 public:
  const Glyph* glyph(const GlyphKey& k) override {
    if (fail) return nullptr;
    ++requests;
    Glyph& g = glyphs_[std::make_tuple(k.size, is_double_byte_code(k.code))];
    g.size = k.size;
    g.alpha.assign(size_t(k.size) * size_t(k.size), 0);
    g.alpha[0] = 255;
    g.ink_top = 0;
    g.ink_bottom = 1;
    g.advance = is_double_byte_code(k.code) ? k.size : k.size / 2;
    g.height = k.size;
    return &g;
  }
  bool fail = false;
  int requests = 0;

 private:
  std::map<std::tuple<int32_t, bool>, Glyph> glyphs_;
};

// Key states set by the test.
class ScriptedKeys : public KeyStates {
 public:
  int32_t state(int32_t key) const override {
    auto it = states.find(key);
    return it == states.end() ? 0 : it->second;
  }
  std::map<int32_t, int32_t> states;
};

}  // namespace nv::text::test
