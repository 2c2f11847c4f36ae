#include "platform/headless/headless_clipboard.h"

#include <gtest/gtest.h>

#include "platform/encoding.h"

namespace nv::platform {
namespace {

TEST(HeadlessClipboard, HoldsUnicodeAndGivesShiftJisBack) {
  HeadlessClipboard c;
  EXPECT_FALSE(c.text().has_value());
  const std::string sjis = utf8_to_sjis("コピー text");
  ASSERT_TRUE(c.set_text(sjis));
  EXPECT_EQ(*c.utf8(), "コピー text");
  EXPECT_EQ(*c.text(), sjis);
  // What a desktop program put there, with a character Shift-JIS lacks.
  c.set_utf8("é漢\xF0\x9F\x8E\xB5x");
  EXPECT_EQ(*c.text(), utf8_to_sjis("漢x"));
  // A sequence broken off loses its lead byte only, not the characters after it.
  c.set_utf8("a\xE3" "bc\xF0\x9F\x8E\xB5か");
  EXPECT_EQ(*c.text(), utf8_to_sjis("abcか"));
}

}  // namespace
}  // namespace nv::platform
