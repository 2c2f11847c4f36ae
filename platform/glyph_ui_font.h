// The font of what the engine draws itself (menus, the input dialog) over
// the installed fonts: one family at one cell height, glyphs rendered one
// bit per pixel and kept once rendered.
#pragma once

#include <memory>

#include "platform/fonts.h"
#include "platform/ui_font.h"

namespace nv::platform {

constexpr int kUiFontCell = 16;  // cell height of menu and dialog text, in pixels

// A UiFont drawing `family` of `fonts` (when -1, the Japanese fallback
// family, else the first one) in cells `cell_px` high; nullptr when no font
// is installed. It owns the service: a service serves one thread, so the
// UI's font has one of its own. A character no font has draws nothing and
// measures half a cell.
std::shared_ptr<UiFont> make_glyph_ui_font(std::unique_ptr<FontService> fonts, int family = -1,
                                           int cell_px = kUiFontCell);

}  // namespace nv::platform
