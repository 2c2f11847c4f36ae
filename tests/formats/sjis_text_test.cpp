#include "formats/sjis_text.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/encoding.h"

namespace nv {
namespace {

const std::string kMixed = platform::utf8_to_sjis("aあbｱ漢");  // a, 2, b, 1, 2 bytes

TEST(SjisText, LeadBytesAtTheirBoundaries) {
  EXPECT_FALSE(sjis::is_lead_byte(uint8_t(0x80)));
  EXPECT_TRUE(sjis::is_lead_byte(uint8_t(0x81)));
  EXPECT_TRUE(sjis::is_lead_byte(uint8_t(0x9F)));
  EXPECT_FALSE(sjis::is_lead_byte(uint8_t(0xA0)));
  EXPECT_FALSE(sjis::is_lead_byte(uint8_t(0xDF)));  // half-width katakana are single bytes
  EXPECT_TRUE(sjis::is_lead_byte(uint8_t(0xE0)));
  EXPECT_TRUE(sjis::is_lead_byte(uint8_t(0xFC)));
  EXPECT_FALSE(sjis::is_lead_byte(uint8_t(0xFD)));
}

TEST(SjisText, CountsDoubleByteCharactersOnce) {
  ASSERT_EQ(kMixed.size(), 7u);
  EXPECT_EQ(sjis::char_count(kMixed), 5u);
  EXPECT_EQ(sjis::char_count(""), 0u);
  // A lead byte at the end is one character of its own.
  EXPECT_EQ(sjis::char_count(std::string("a\x82", 2)), 2u);
}

TEST(SjisText, NeverSplitsADoubleByteCharacter) {
  EXPECT_EQ(sjis::byte_offset_of_char(kMixed, 2), 3u);
  EXPECT_EQ(sjis::byte_offset_of_char(kMixed, 9), 7u);
  EXPECT_EQ(sjis::prefix_fitting(kMixed, 2), "a");  // "あ" does not fit in the second byte
  EXPECT_EQ(sjis::prefix_fitting(kMixed, 3).size(), 3u);
  EXPECT_EQ(sjis::prefix_fitting(kMixed, 6).size(), 5u);
  EXPECT_EQ(sjis::char_substr(kMixed, 1, 3), platform::utf8_to_sjis("あbｱ"));
  EXPECT_EQ(sjis::char_substr(kMixed, 4, 10), platform::utf8_to_sjis("漢"));
  EXPECT_EQ(sjis::char_substr(kMixed, 7, 1), "");
  // A trail byte that looks like a lead byte is still part of its character.
  std::string tricky = platform::utf8_to_sjis("ソ");  // 0x83 0x5C: trail byte is '\'
  ASSERT_EQ(tricky, "\x83\x5C");
  EXPECT_EQ(sjis::char_count(tricky + "\\"), 2u);
}

}  // namespace
}  // namespace nv
