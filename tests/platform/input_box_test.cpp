#include "platform/input_box.h"

#include <gtest/gtest.h>

#include "platform/encoding.h"
#include "tests/support/box_font.h"

namespace nv::platform {
namespace {

std::string sj(const char* utf8) { return utf8_to_sjis(utf8); }

TEST(InputField, TheLimitCountsCharactersNotBytes) {
  InputField f("", 3);
  f.type("あaいう");
  EXPECT_EQ(f.text(), sj("あaい"));
  f.backspace();  // removes the whole double-byte character
  EXPECT_EQ(f.text(), sj("あa"));
  f.type("\x01\tえ\n");  // control characters are left out
  EXPECT_EQ(f.text(), sj("あaえ"));
}

TEST(InputField, CaretMovesByCharacters) {
  InputField f(sj("日本"), 0);
  EXPECT_EQ(f.caret(), 4u);
  f.left();
  EXPECT_EQ(f.caret(), 2u);
  f.type("x");
  EXPECT_EQ(f.text(), sj("日x本"));
  f.home();
  f.erase();
  EXPECT_EQ(f.text(), sj("x本"));
  f.end();
  f.right();
  EXPECT_EQ(f.caret(), f.text().size());
  f.left();
  f.left();
  f.left();  // stays at the start
  EXPECT_EQ(f.caret(), 0u);
}

TEST(InputField, TheByteCapNeverSplitsACharacter) {
  // 4094 single bytes leave room for one byte, not for a double-byte one.
  InputField f(std::string(4094, 'a'), 0);
  f.type("漢");
  EXPECT_EQ(f.text().size(), 4094u);
  f.type("bc");
  EXPECT_EQ(f.text().size(), kInputBoxMaxBytes);
  EXPECT_EQ(f.text().back(), 'b');
  // A default text longer than the cap is cut on a character boundary.
  std::string long_default(4094, 'z');
  long_default += sj("漢");
  InputField g(long_default, 0);
  EXPECT_EQ(g.text().size(), 4094u);
  // And it obeys the character limit.
  InputField h(sj("一二三四"), 2);
  EXPECT_EQ(h.text(), sj("一二"));
}

TEST(InputField, CharactersWithoutAShiftJisFormAreLeftOut) {
  InputField f("", 0);
  f.type("a\xF0\x9F\x98\x80" "b");  // an emoji between two letters
  EXPECT_EQ(f.text(), "ab");
}

TEST(InputBoxPicture, PromptFieldCompositionAndButtonAreDrawn) {
  test::BoxFont font;
  InputBoxSpec spec;
  spec.prompt = sj("名前を\n入力してください");
  const InputBoxLayout l = layout_input_box(spec, font);
  EXPECT_EQ(l.prompt.height(), 2 * test::BoxFont::kHeight);
  EXPECT_LT(l.prompt.bottom, l.field.top);
  EXPECT_LT(l.field.bottom, l.ok.top);
  InputField f(sj("太郎"), 0);
  int caret_plain = 0, caret_composing = 0;
  PixelBuffer a = draw_input_box(spec, l, f, true, false, font, &caret_plain);
  f.set_composition("やま");
  PixelBuffer b = draw_input_box(spec, l, f, true, false, font, &caret_composing);
  // The composition sits at the caret and pushes it on by its width.
  EXPECT_EQ(caret_composing - caret_plain, 24);
  EXPECT_NE(a.pixels, b.pixels);
  // Text is black on the white field.
  int black = 0;
  for (int y = l.field.top; y < l.field.bottom; ++y)
    for (int x = l.field.left; x < l.field.right; ++x) black += a.at(x, y) == 0xFF000000u;
  EXPECT_GT(black, 2 * 10 * 8);
}

}  // namespace
}  // namespace nv::platform
