// The installed fonts as the engine sees them: a list of families, the
// family a face name in a script stands for, and glyphs rendered one bit
// per pixel.
//
// Sizes are cell heights: a face is scaled so that its ascent plus descent
// (the Windows metrics of the OS/2 table when the font has them) fill the
// requested number of pixels, with the baseline at the ascent, so that no
// glyph loses its descender inside the cell.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace nv::platform {

struct FontFamily {
  std::string name;                // UTF-8; the family's Japanese name when it has one
  std::vector<std::string> names;  // every name the family is known by, `name` first
  bool fixed_pitch = false;        // monospaced, dual-width or character-cell
  bool japanese = false;           // the font declares Japanese among its languages
  bool has_bold_face = false;
};

// A glyph drawn one bit per pixel, rows top-down, most significant bit first,
// placed as FreeType places it: the bitmap's top-left corner is `left`
// pixels right of the pen and `top` pixels above the baseline.
struct MonoGlyph {
  int ascent = 0;  // baseline row, counted from the top of the cell
  int left = 0, top = 0;
  int advance = 0;  // how far the pen moves, in whole pixels (the font's own advance)
  int width = 0, rows = 0, pitch = 0;
  std::vector<uint8_t> bits;  // rows * pitch bytes
  bool bold_face = false;     // drawn from the family's bold face
  bool found = false;         // the family or the Japanese fallback has the character
};

// Which font file a glyph comes from and at which size: for diagnostics and
// for tests that render the same glyph with another program.
struct FaceChoice {
  std::string file;
  int index = 0;       // face index inside the file
  int em_pixels = 0;   // the em size the cell height gives
  int ascent = 0;      // baseline row in the cell
  bool fallback = false;  // the family lacks the character; the Japanese fallback has it
  bool bold_face = false;
};

// Where the font list comes from.
enum class FontSetup {
  system,  // the host's fontconfig configuration: every installed font
  pinned,  // a fixed set of font files the project installs, so that
           // headless runs and tests give the same pictures everywhere
};

class FontService {
 public:
  virtual ~FontService() = default;

  // One entry per family, sorted by `name` (bytewise).
  virtual const std::vector<FontFamily>& families() const = 0;

  // The family a face name stands for: a family known by that name, else
  // for a gothic or mincho name (see font_names.h) the Japanese family of
  // that kind that has kana and kanji; -1 when the name means nothing here.
  virtual int find_family(std::string_view utf8_name) = 0;

  // The Japanese family that draws what another family lacks, and the first
  // choice when no start font is found; -1 when no installed font has kana
  // and kanji.
  virtual int fallback_family() const = 0;

  // Renders code point `cp` of `family` in a cell `cell_px` pixels high
  // (1..1024), from the bold face when `bold` and the family has one. A
  // character the family lacks comes from the fallback family; when neither
  // has it, `found` is false and the bitmap is empty. False when the font
  // cannot be opened or sized.
  virtual bool render(int family, int cell_px, bool bold, char32_t cp, MonoGlyph& out) = 0;

  // The face and size `render` would use for the same arguments.
  virtual bool describe(int family, int cell_px, bool bold, char32_t cp, FaceChoice& out) = 0;
};

// The files of the pinned set that are installed (fonts-ipafont-gothic,
// fonts-ipafont-mincho, fonts-dejavu-core).
std::vector<std::string> pinned_font_files();

// fontconfig and FreeType start on the service's first use; when they
// cannot, the list is empty and nothing renders.
std::unique_ptr<FontService> make_font_service(FontSetup setup);

}  // namespace nv::platform
