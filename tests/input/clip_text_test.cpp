#include "input/clip_text.h"

#include <gtest/gtest.h>

namespace nv::input {
namespace {

TEST(ClipText, TheFirst1024BytesWithoutControlsAndWithoutHalfCharacters) {
  // 1023 bytes, then a double-byte character across the 1024th byte.
  std::string s(1020, 'a');
  s += "\r\n\t";
  s += "\x88\x9f";  // 亜
  s += "tail";
  std::string got = clip_text_for_script(s);
  EXPECT_EQ(got, std::string(1020, 'a'));
  // One byte earlier the character fits whole.
  std::string t(1022, 'b');
  t += "\x88\x9f";
  t += "zz";
  EXPECT_EQ(clip_text_for_script(t), std::string(1022, 'b') + "\x88\x9f");
  // A lead byte at the very end has lost its second byte.
  EXPECT_EQ(clip_text_for_script("ok\x88"), "ok");
  // Control characters anywhere go.
  EXPECT_EQ(clip_text_for_script("\x01x\x1fy"), "xy");
}

TEST(DialogAnswer, EveryButtonSetMapsToOneTwoThree) {
  using platform::Buttons;
  EXPECT_EQ(dialog_answer_value(Buttons::ok, platform::kIdOk), 1);
  EXPECT_EQ(dialog_answer_value(Buttons::ok, platform::kIdCancel), 2);  // Escape on an OK box
  EXPECT_EQ(dialog_answer_value(Buttons::ok_cancel, platform::kIdOk), 1);
  EXPECT_EQ(dialog_answer_value(Buttons::ok_cancel, platform::kIdCancel), 2);
  EXPECT_EQ(dialog_answer_value(Buttons::yes_no, platform::kIdYes), 1);
  EXPECT_EQ(dialog_answer_value(Buttons::yes_no, platform::kIdNo), 2);
  EXPECT_EQ(dialog_answer_value(Buttons::yes_no_cancel, platform::kIdYes), 1);
  EXPECT_EQ(dialog_answer_value(Buttons::yes_no_cancel, platform::kIdNo), 2);
  EXPECT_EQ(dialog_answer_value(Buttons::yes_no_cancel, platform::kIdCancel), 3);
}

}  // namespace
}  // namespace nv::input
