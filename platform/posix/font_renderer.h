// FreeType faces opened on demand, sized by cell height and rendered one bit
// per pixel with fixed load flags (fontconfig's rendering preferences are
// not consulted, so every run draws the same pixels).
#pragma once

#include <map>
#include <string>
#include <utility>

#include "platform/fonts.h"
#include "platform/posix/font_catalog.h"

typedef struct FT_LibraryRec_* FT_Library;
typedef struct FT_FaceRec_* FT_Face;

namespace nv::platform {

class FontRenderer {
 public:
  FontRenderer() = default;
  ~FontRenderer();
  FontRenderer(const FontRenderer&) = delete;
  FontRenderer& operator=(const FontRenderer&) = delete;

  // False when FreeType cannot start.
  bool start();

  struct Face {
    FT_Face face = nullptr;
    int cell_units = 0;    // ascent + descent in font units
    int ascent_units = 0;
    int em_units = 0;
    int em_set = 0;  // the pixel size the face is set to (setting it runs the font's hinting set-up)
  };
  // The face of `file`, opened once; null when FreeType cannot open it.
  Face* face(const FaceFile& file);

  // The em size in pixels that makes the face's cell `cell_px` high, and the
  // baseline row.
  static int em_pixels(const Face& f, int cell_px);
  static int ascent_pixels(const Face& f, int em_px);

  bool has_char(Face& f, char32_t cp);
  // Renders `cp` at em size `em_px`; false when FreeType fails.
  bool render(Face& f, int em_px, char32_t cp, MonoGlyph& out);

 private:
  FT_Library library_ = nullptr;
  std::map<std::pair<std::string, int>, Face> faces_;
};

}  // namespace nv::platform
