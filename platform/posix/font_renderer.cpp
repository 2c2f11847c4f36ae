#include "platform/posix/font_renderer.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <cstring>

namespace nv::platform {

FontRenderer::~FontRenderer() {
  for (auto& [key, f] : faces_)
    if (f.face) FT_Done_Face(f.face);
  if (library_) FT_Done_FreeType(library_);
}

bool FontRenderer::start() { return library_ || FT_Init_FreeType(&library_) == 0; }

FontRenderer::Face* FontRenderer::face(const FaceFile& file) {
  auto key = std::make_pair(file.file, file.index);
  auto it = faces_.find(key);
  if (it != faces_.end()) return it->second.face ? &it->second : nullptr;
  Face& f = faces_[key];  // a failed open is remembered as a null face
  if (!library_ || file.file.empty()) return nullptr;
  FT_Face ft = nullptr;
  if (FT_New_Face(library_, file.file.c_str(), file.index, &ft) != 0) return nullptr;
  if (!FT_IS_SCALABLE(ft) || ft->units_per_EM == 0) {
    FT_Done_Face(ft);
    return nullptr;
  }
  // The cell is the Windows ascent plus descent where the font has them,
  // else the horizontal header's.
  int ascent = ft->ascender, descent = -ft->descender;
  if (auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(ft, FT_SFNT_OS2));
      os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
    ascent = os2->usWinAscent;
    descent = os2->usWinDescent;
  }
  if (ascent + descent <= 0) {
    ascent = ft->units_per_EM;
    descent = 0;
  }
  f.face = ft;
  f.ascent_units = ascent;
  f.cell_units = ascent + descent;
  f.em_units = ft->units_per_EM;
  return &f;
}

int FontRenderer::em_pixels(const Face& f, int cell_px) {
  long em = long(cell_px) * f.em_units / f.cell_units;
  return em < 1 ? 1 : int(em);
}

int FontRenderer::ascent_pixels(const Face& f, int em_px) {
  return int((long(f.ascent_units) * em_px * 2 + f.em_units) / (2L * f.em_units));
}

bool FontRenderer::has_char(Face& f, char32_t cp) { return FT_Get_Char_Index(f.face, cp) != 0; }

bool FontRenderer::render(Face& f, int em_px, char32_t cp, MonoGlyph& out) {
  out = MonoGlyph{};
  out.ascent = ascent_pixels(f, em_px);
  if (f.em_set != em_px) {
    if (FT_Set_Pixel_Sizes(f.face, 0, FT_UInt(em_px)) != 0) return false;
    f.em_set = em_px;
  }
  FT_UInt index = FT_Get_Char_Index(f.face, cp);
  if (index == 0) return true;
  out.found = true;
  if (FT_Load_Glyph(f.face, index, FT_LOAD_TARGET_MONO | FT_LOAD_NO_BITMAP) != 0) return false;
  FT_GlyphSlot slot = f.face->glyph;
  out.advance = int((slot->advance.x + 32) >> 6);
  if (slot->format != FT_GLYPH_FORMAT_BITMAP && FT_Render_Glyph(slot, FT_RENDER_MODE_MONO) != 0) return false;
  const FT_Bitmap& b = slot->bitmap;
  if (b.pixel_mode != FT_PIXEL_MODE_MONO) return false;
  out.left = slot->bitmap_left;
  out.top = slot->bitmap_top;
  out.width = int(b.width);
  out.rows = int(b.rows);
  out.pitch = (out.width + 7) / 8;
  out.bits.resize(size_t(out.pitch) * size_t(out.rows));
  for (int r = 0; r < out.rows; ++r) {
    // Adding the pitch goes down one row, whichever way the buffer flows.
    const unsigned char* src = b.buffer + ptrdiff_t(r) * b.pitch;
    std::memcpy(out.bits.data() + size_t(r) * size_t(out.pitch), src, size_t(out.pitch));
  }
  return true;
}

}  // namespace nv::platform
