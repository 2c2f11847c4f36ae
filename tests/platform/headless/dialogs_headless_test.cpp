#include "platform/dialogs.h"

#include <gtest/gtest.h>

#include <sstream>

#include "platform/encoding.h"
#include "platform/headless/platform_headless.h"

namespace nv::platform {
namespace {

TEST(HeadlessDialogs, WritesCaptionAndTextAsUtf8AndRecordsThem) {
  std::ostringstream err;
  HeadlessDialogs d(AnswerPolicy::default_button, &err);
  MessageBoxSpec box;
  box.caption = "Nivalo Debug Info.";
  box.text = utf8_to_sjis("終了します。よろしいですか？");
  box.buttons = Buttons::yes_no;
  box.default_button = 2;
  EXPECT_EQ(d.message_box(box), kIdNo);
  EXPECT_EQ(err.str(), "[Nivalo Debug Info.] 終了します。よろしいですか？\n");
  ASSERT_EQ(d.shown().size(), 1u);
  EXPECT_EQ(d.shown()[0].text, box.text);
  EXPECT_FALSE(d.error_dialog({"cap", "text", false}));
  EXPECT_TRUE(d.shown()[1].is_error);
}

TEST(HeadlessDialogs, PoliciesPickAnExistingButton) {
  EXPECT_EQ(answer_for(AnswerPolicy::default_button, Buttons::yes_no_cancel, 3), kIdCancel);
  EXPECT_EQ(answer_for(AnswerPolicy::default_button, Buttons::ok_cancel, 7), kIdOk);
  EXPECT_EQ(answer_for(AnswerPolicy::yes, Buttons::yes_no, 1), kIdYes);
  EXPECT_EQ(answer_for(AnswerPolicy::yes, Buttons::ok_cancel, 2), kIdOk);
  EXPECT_EQ(answer_for(AnswerPolicy::no, Buttons::ok_cancel, 1), kIdCancel);
  EXPECT_EQ(answer_for(AnswerPolicy::no, Buttons::ok, 1), kIdOk);
  EXPECT_EQ(answer_for(AnswerPolicy::cancel, Buttons::yes_no, 1), kIdNo);
  EXPECT_EQ(answer_for(AnswerPolicy::ok, Buttons::yes_no, 2), kIdYes);
  AnswerPolicy p;
  EXPECT_TRUE(parse_answer_policy("cancel", p));
  EXPECT_EQ(p, AnswerPolicy::cancel);
  EXPECT_FALSE(parse_answer_policy("maybe", p));
}

}  // namespace
}  // namespace nv::platform
