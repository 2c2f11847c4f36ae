#include "platform/glyph_ui_font.h"

#include <string_view>
#include <unordered_map>

#include "platform/utf8.h"

namespace nv::platform {

namespace {

// The next code point of UTF-8 text at `i` (advanced past it); a byte that
// does not start a valid sequence is shown as U+FFFD, one byte each.
char32_t next_code_point(std::string_view s, size_t& i) {
  char32_t cp;
  return next_utf8(s, i, cp) ? cp : U'\uFFFD';
}

class GlyphUiFont final : public UiFont {
 public:
  GlyphUiFont(std::unique_ptr<FontService> fonts, int family, int cell)
      : fonts_(std::move(fonts)), family_(family), cell_(cell) {}

  int line_height() override { return cell_; }

  int ascent() override {
    const MonoGlyph& g = glyph(U'M');
    return g.found ? g.ascent : cell_ * 4 / 5;
  }

  int text_width(std::string_view utf8) override {
    int w = 0;
    for (size_t i = 0; i < utf8.size();) w += glyph(next_code_point(utf8, i)).advance;
    return w;
  }

  void draw_text(PixelBuffer& b, int x, int y, std::string_view utf8, uint32_t bgra) override {
    for (size_t i = 0; i < utf8.size();) {
      const MonoGlyph& g = glyph(next_code_point(utf8, i));
      const int left = x + g.left, top = y + g.ascent - g.top;
      for (int r = 0; r < g.rows; ++r) {
        const int py = top + r;
        if (py < 0 || py >= b.height) continue;
        for (int c = 0; c < g.width; ++c) {
          const int px = left + c;
          if (px < 0 || px >= b.width) continue;
          if (g.bits[size_t(r) * size_t(g.pitch) + size_t(c / 8)] & (0x80 >> (c % 8)))
            b.pixels[size_t(py) * size_t(b.width) + size_t(px)] = bgra;
        }
      }
      x += g.advance;
    }
  }

 private:
  const MonoGlyph& glyph(char32_t cp) {
    auto it = glyphs_.find(cp);
    if (it != glyphs_.end()) return it->second;
    MonoGlyph g;
    if (!fonts_->render(family_, cell_, false, cp, g) ||
        g.bits.size() < size_t(g.rows) * size_t(g.pitch) || g.width > g.pitch * 8)
      g = MonoGlyph{};
    // A character no font has keeps the space of half a cell, so that text
    // around it stays readable.
    if (!g.found && g.advance == 0 && cp != 0) g.advance = cell_ / 2;
    return glyphs_.emplace(cp, std::move(g)).first->second;
  }

  std::unique_ptr<FontService> fonts_;
  int family_;
  int cell_;
  std::unordered_map<char32_t, MonoGlyph> glyphs_;
};

}  // namespace

std::shared_ptr<UiFont> make_glyph_ui_font(std::unique_ptr<FontService> fonts, int family, int cell_px) {
  if (!fonts) return nullptr;
  const int count = int(fonts->families().size());
  if (family < 0 || family >= count) family = fonts->fallback_family();
  if (family < 0 && count > 0) family = 0;
  if (family < 0) return nullptr;
  return std::make_shared<GlyphUiFont>(std::move(fonts), family, cell_px < 1 ? 1 : cell_px);
}

}  // namespace nv::platform
