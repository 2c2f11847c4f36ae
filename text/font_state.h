// The engine's fonts: the font list, the eight font slots (scripts use 0
// and 1; slot 0 is the message text's) and the glyph cache. Built on first
// use, so that an engine that draws no text never starts fontconfig.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "text/font_list.h"
#include "text/glyph_cache.h"
#include "text/text_state.h"

namespace nv {
struct Engine;
}  // namespace nv

namespace nv::text {


constexpr int kFontSlots = 8;

struct FontState {
  bool ready = false;
  FontList list;
  std::array<FontSlot, kFontSlots> slots{};
  std::unique_ptr<GlyphSource> glyphs;  // the glyph cache (tests may put a stand-in here)
};

// The fonts, built on the first call: the list from the platform's font
// service, every slot on the start font, slot 0 copied into the text state.
FontState& ready_fonts(Engine& e);

}  // namespace nv::text
