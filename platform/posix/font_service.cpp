// The font service over fontconfig (the list and the matching) and FreeType
// (the glyphs).
#include <fontconfig/fontconfig.h>

#include <filesystem>

#include "platform/fonts.h"
#include "platform/posix/font_catalog.h"
#include "platform/posix/font_renderer.h"

namespace nv::platform {

namespace {

constexpr const char* kPinnedFiles[] = {
    "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf",   "/usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf",
    "/usr/share/fonts/opentype/ipafont-mincho/ipam.ttf",   "/usr/share/fonts/opentype/ipafont-mincho/ipamp.ttf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",     "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf", "/usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf",    "/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf",
};

// fontconfig and FreeType start on first use: an engine that draws no text
// (most tests) pays nothing for them.
class FreeTypeFonts final : public FontService {
 public:
  explicit FreeTypeFonts(FontSetup setup) : setup_(setup) {}

  const std::vector<FontFamily>& families() const override { return catalog().families(); }

  int find_family(std::string_view name) override {
    FontCatalog& c = catalog();
    int named = c.family_named(name);
    return named >= 0 ? named : c.family_for(face_kind(name));
  }

  int fallback_family() const override {
    catalog();
    return fallback_;
  }

  bool render(int family, int cell_px, bool bold, char32_t cp, MonoGlyph& out) override {
    out = MonoGlyph{};
    Pick pick;
    if (!choose(family, bold, cp, pick)) return false;
    const int em = FontRenderer::em_pixels(*pick.face, clamp_cell(cell_px));
    if (!renderer_.render(*pick.face, em, cp, out)) return false;
    out.bold_face = pick.bold_face;
    return true;
  }

  bool describe(int family, int cell_px, bool bold, char32_t cp, FaceChoice& out) override {
    out = FaceChoice{};
    Pick pick;
    if (!choose(family, bold, cp, pick)) return false;
    out.file = pick.file->file;
    out.index = pick.file->index;
    out.em_pixels = FontRenderer::em_pixels(*pick.face, clamp_cell(cell_px));
    out.ascent = FontRenderer::ascent_pixels(*pick.face, out.em_pixels);
    out.fallback = pick.fallback;
    out.bold_face = pick.bold_face;
    return true;
  }

 private:
  struct Pick {
    FontRenderer::Face* face = nullptr;
    const FaceFile* file = nullptr;
    bool fallback = false;
    bool bold_face = false;
  };

  static int clamp_cell(int cell_px) { return cell_px < 1 ? 1 : cell_px > 1024 ? 1024 : cell_px; }

  // The catalog, loaded on the first call. Without fontconfig or FreeType
  // it is empty, and every family is unknown.
  FontCatalog& catalog() const {
    if (!catalog_) {
      catalog_ = std::make_unique<FontCatalog>(load_config(setup_));
      if (renderer_.start()) fallback_ = catalog_->family_for(FaceKind::gothic);
    }
    return *catalog_;
  }

  static FcConfig* load_config(FontSetup setup) {
    if (setup == FontSetup::system) return FcInitLoadConfigAndFonts();
    // No configuration files: no aliases or rules of the host take part,
    // only the pinned files and the engine's own alias table.
    FcConfig* config = FcConfigCreate();
    if (config)
      for (const std::string& f : pinned_font_files())
        FcConfigAppFontAddFile(config, reinterpret_cast<const FcChar8*>(f.c_str()));
    return config;
  }

  // The face of `family` for the weight asked, if it opens.
  bool face_of(int family, bool bold, Pick& pick) {
    FontCatalog& c = catalog();
    if (family < 0 || family >= c.size()) return false;
    const CatalogFamily& f = c.at(family);
    const bool use_bold = bold && !f.bold.file.empty();
    pick.file = use_bold ? &f.bold : &f.regular;
    pick.face = renderer_.face(*pick.file);
    pick.bold_face = use_bold;
    return pick.face != nullptr;
  }

  // The family's face, or the fallback family's when only that has `cp`.
  bool choose(int family, bool bold, char32_t cp, Pick& pick) {
    if (!face_of(family, bold, pick)) return false;
    if (renderer_.has_char(*pick.face, cp) || fallback_ < 0 || fallback_ == family) return true;
    Pick other;
    if (face_of(fallback_, bold, other) && renderer_.has_char(*other.face, cp)) {
      pick = other;
      pick.fallback = true;
    }
    return true;
  }

  FontSetup setup_;
  mutable std::unique_ptr<FontCatalog> catalog_;
  mutable FontRenderer renderer_;
  mutable int fallback_ = -1;
};

}  // namespace

std::vector<std::string> pinned_font_files() {
  std::vector<std::string> files;
  std::error_code ec;
  for (const char* f : kPinnedFiles)
    if (std::filesystem::is_regular_file(f, ec)) files.emplace_back(f);
  return files;
}

std::unique_ptr<FontService> make_font_service(FontSetup setup) { return std::make_unique<FreeTypeFonts>(setup); }

}  // namespace nv::platform
