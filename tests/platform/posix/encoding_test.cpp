#include "platform/encoding.h"

#include <gtest/gtest.h>

namespace nv::platform {
namespace {

TEST(Encoding, JapaneseRoundTripsWithKnownBytes) {
  std::string sjis = utf8_to_sjis("あ漢字～");
  EXPECT_EQ(sjis, "\x82\xA0\x8A\xBF\x8E\x9A\x81\x60");
  EXPECT_EQ(sjis_to_utf8(sjis), "あ漢字～");
}

TEST(Encoding, HalfWidthKatakanaAndAsciiRoundTrip) {
  const std::string utf8 = "ｱｲｳ ABC\\~ 123";
  std::string sjis = utf8_to_sjis(utf8);
  EXPECT_EQ(sjis.substr(0, 3), "\xB1\xB2\xB3");
  EXPECT_EQ(sjis.size(), utf8.size() - 6);  // three 3-byte characters became one byte each
  EXPECT_EQ(sjis_to_utf8(sjis), utf8);
}

TEST(Encoding, InvalidShiftJisBytesBecomeReplacementCharacters) {
  // 0x81 0x20 is a lead byte with an invalid trail; 0xFD is not valid at all;
  // a lead byte at the very end is truncated.
  std::string out = sjis_to_utf8(std::string("A\x81\x20" "B\xFD" "C\x82", 7));
  EXPECT_EQ(out, "A\xEF\xBF\xBD B\xEF\xBF\xBD" "C\xEF\xBF\xBD");
}

TEST(Encoding, UnmappableAndMalformedUtf8BecomeQuestionMarks) {
  bool lossless = true;
  EXPECT_EQ(utf8_to_sjis("a😀b", &lossless), "a?b");
  EXPECT_FALSE(lossless);
  EXPECT_EQ(utf8_to_sjis(std::string("x\xC3", 2), &lossless), "x?");
  EXPECT_EQ(utf8_to_sjis(std::string("\xE3\x81y", 3), &lossless), "?y");
  EXPECT_EQ(utf8_to_sjis("plain", &lossless), "plain");
  EXPECT_TRUE(lossless);
}

TEST(Encoding, EmptyText) {
  EXPECT_EQ(sjis_to_utf8(""), "");
  EXPECT_EQ(utf8_to_sjis(""), "");
}

}  // namespace
}  // namespace nv::platform
