#include "formats/text_width.h"

#include <gtest/gtest.h>

#include "platform/encoding.h"

namespace nv {
namespace {

std::string sj(const char* utf8) { return platform::utf8_to_sjis(utf8); }
std::string u8(const std::string& s) { return platform::sjis_to_utf8(s); }

TEST(TextWidth, FullWidthOfAsciiAndHalfWidthKatakana) {
  EXPECT_EQ(u8(sjis::to_full_width(sj("Ab 1!~\\"))), "Ａｂ　１！～＼");
  EXPECT_EQ(u8(sjis::to_full_width(sj("ｶﾞｷﾞﾊﾟｳﾞｱｰ｡"))), "ガギパヴアー。");
  // A mark that cannot combine stays a mark of its own.
  EXPECT_EQ(u8(sjis::to_full_width(sj("ｱﾞﾟ"))), "ア゛゜");
  // Double-byte characters are left as they are, including ones whose
  // trail byte is an ASCII letter.
  EXPECT_EQ(u8(sjis::to_full_width(sj("漢字ソa"))), "漢字ソａ");
}

TEST(TextWidth, HalfWidthIsTheInverseWhereAFormExists) {
  EXPECT_EQ(u8(sjis::to_half_width(sj("Ａｂ　１！ガパヴ、。"))), "Ab 1!ｶﾞﾊﾟｳﾞ､｡");
  EXPECT_EQ(u8(sjis::to_half_width(sj("ひらがな漢字"))), "ひらがな漢字");  // no half-width form
  std::string all;
  for (int c = 0x20; c < 0x7F; ++c) all += static_cast<char>(c);
  for (int c = 0xA1; c < 0xE0; ++c) all += static_cast<char>(c);
  EXPECT_EQ(sjis::to_half_width(sjis::to_full_width(all)), all);
}

TEST(TextWidth, CaseOfAsciiAndFullWidthLetters) {
  std::string s = sj("abcＡｂｃ漢ソz");
  sjis::to_upper(s);
  EXPECT_EQ(u8(s), "ABCＡＢＣ漢ソZ");
  sjis::to_lower(s);
  EXPECT_EQ(u8(s), "abcａｂｃ漢ソz");
  // The trail byte 0x61 of a double-byte character is not a letter.
  std::string tricky = "\x83\x61";
  sjis::to_upper(tricky);
  EXPECT_EQ(tricky, "\x83\x61");
}

}  // namespace
}  // namespace nv
