// The font of engine-drawn menus and dialogs over the installed fonts.
#include <gtest/gtest.h>

#include <string>

#include "platform/encoding.h"
#include "platform/glyph_ui_font.h"
#include "platform/menu_layout.h"

namespace nv::platform {
namespace {

constexpr uint32_t kWhite = 0xFFFFFFFFu;
constexpr uint32_t kInk = 0xFF102030u;

class UiFontOverFonts : public ::testing::Test {
 protected:
  void SetUp() override {
    if (pinned_font_files().size() < 10) GTEST_SKIP() << "the pinned fonts are not all installed (scripts/install-deps.sh)";
    font = make_glyph_ui_font(make_font_service(FontSetup::pinned));
    ASSERT_NE(font, nullptr);
  }
  std::shared_ptr<UiFont> font;
};

struct Ink {
  int count = 0;
  int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
};

Ink ink_in(const PixelBuffer& b, uint32_t colour, int x0, int y0, int x1, int y1) {
  Ink k;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x)
      if (b.at(x, y) == colour) {
        ++k.count;
        k.left = std::min(k.left, x);
        k.right = std::max(k.right, x + 1);
        k.top = std::min(k.top, y);
        k.bottom = std::max(k.bottom, y + 1);
      }
  return k;
}

TEST_F(UiFontOverFonts, JapaneseTextIsMeasuredAndDrawnInsideItsLine) {
  const int cell = font->line_height();
  EXPECT_EQ(cell, kUiFontCell);
  EXPECT_GT(font->ascent(), cell / 2);
  EXPECT_LT(font->ascent(), cell);
  const std::string text = "設定メニュー";  // six full-width characters
  const int w = font->text_width(text);
  EXPECT_GE(w, 6 * cell / 2);
  EXPECT_LE(w, 6 * cell);
  EXPECT_LT(font->text_width("A"), font->text_width("あ"));
  EXPECT_EQ(font->text_width("ああ"), 2 * font->text_width("あ"));

  PixelBuffer b(200, 40, kWhite);
  font->draw_text(b, 10, 8, text, kInk);
  const Ink k = ink_in(b, kInk, 0, 0, b.width, b.height);
  EXPECT_GT(k.count, 6 * 10);  // strokes, not a dot or two
  EXPECT_GE(k.left, 10);
  EXPECT_LE(k.right, 10 + w);
  EXPECT_GE(k.top, 8);
  EXPECT_LE(k.bottom, 8 + cell);
  // Every character leaves ink in its own share of the width.
  const int step = w / 6;
  for (int i = 0; i < 6; ++i)
    EXPECT_GT(ink_in(b, kInk, 10 + i * step, 0, 10 + (i + 1) * step, b.height).count, 0) << "character " << i;
}

TEST_F(UiFontOverFonts, TextRunningOffTheBufferIsClippedAndBrokenUtf8IsReplaced) {
  PixelBuffer b(20, 10, kWhite);
  font->draw_text(b, -7, -5, "漢字かなABC", kInk);
  font->draw_text(b, 15, 4, "漢字かなABC", kInk);
  EXPECT_GT(ink_in(b, kInk, 0, 0, b.width, b.height).count, 0);
  // A sequence cut short, a stray continuation byte and a byte that never
  // starts one: each byte stands for one replacement character.
  const int r = font->text_width("\xEF\xBF\xBD");
  EXPECT_GT(r, 0);
  EXPECT_EQ(font->text_width("a\xE3\x81"), font->text_width("a") + 2 * r);
  EXPECT_EQ(font->text_width("\x80\xFF"), 2 * r);
  font->draw_text(b, 0, 0, "\xF4\x90\x80", kInk);
}

TEST_F(UiFontOverFonts, AMenuBarShowsEachJapaneseCaptionInItsEntry) {
  MenuList bar;
  for (const char* caption : {"ファイル", "表示", "ヘルプ"}) {
    MenuItem it;
    it.text = utf8_to_sjis(caption);
    it.popup = true;
    bar.push_back(it);
  }
  const MenuMetrics m = menu_metrics(*font);
  EXPECT_GT(m.bar_height, font->line_height());
  const std::vector<Rect> entries = layout_menu_bar(bar, *font, m);
  ASSERT_EQ(entries.size(), 3u);
  const MenuColors colours;
  const PixelBuffer pic = draw_menu_bar(bar, 400, -1, *font, m, colours);
  for (size_t i = 0; i < entries.size(); ++i) {
    const Rect& r = entries[i];
    EXPECT_GT(r.width(), font->line_height()) << i;
    EXPECT_GT(ink_in(pic, colours.text, r.left, 0, r.right, m.bar_height).count, 20) << i;
  }
}

// A host without fonts: the factory says so, and the backends keep their
// menus and input dialog off instead of drawing blank panels.
class NoFonts final : public FontService {
 public:
  const std::vector<FontFamily>& families() const override { return none_; }
  int find_family(std::string_view) override { return -1; }
  int fallback_family() const override { return -1; }
  bool render(int, int, bool, char32_t, MonoGlyph&) override { return false; }
  bool describe(int, int, bool, char32_t, FaceChoice&) override { return false; }

 private:
  std::vector<FontFamily> none_;
};

TEST(UiFontWithoutFonts, IsNotMade) {
  EXPECT_EQ(make_glyph_ui_font(nullptr), nullptr);
  EXPECT_EQ(make_glyph_ui_font(std::make_unique<NoFonts>()), nullptr);
}

}  // namespace
}  // namespace nv::platform
