#include "text/font_state.h"

#include "core/engine.h"

namespace nv::text {

FontState& ready_fonts(Engine& e) {
  FontState& f = e.fonts;
  if (f.ready) return f;
  f.ready = true;
  platform::FontService* service = e.platform.fonts.get();
  f.list = make_font_list(service);
  f.glyphs = std::make_unique<GlyphCache>(service);
  const int32_t start = start_font(f.list, service);
  for (FontSlot& s : f.slots) s.font = start;
  e.text.attrs.font = start;
  return f;
}

}  // namespace nv::text
