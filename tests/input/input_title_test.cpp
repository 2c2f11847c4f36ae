// Title-level tests of the key and mouse state, INPUT and MOUSE, driven by
// scripted input in headless runs.
#include <gtest/gtest.h>

#include "input/key_names.h"
#include "input/scripted_input.h"
#include "platform/headless/display_headless.h"
#include "tests/support/title_run.h"

namespace nv::test {
namespace {

// A title that appends `expr` to `trace` every frame for `frames` frames.
std::string tracing(const std::string& setup, const std::string& expr, int frames) {
  return "G_STR trace = \"\"\n*SYSTEM_START\n" + setup + "LOOP " + std::to_string(frames) + "\n  trace += " + expr +
         "\n  WAIT[FRAME=1]\nLOOPEND\nEND\n";
}

void script(TitleRun& r, const std::string& text) {
  ASSERT_TRUE(r.start()) << r.messages();
  std::string error;
  ASSERT_TRUE(input::parse_scripted_input(text, "in", input::virtual_key_of_name, r.engine().input.script, error)) << error;
}

TEST(KeysInTitles, TheJoysticksFoundAtStartUpAreCountedAndNoneMeansNoPad) {
  for (const int found : {0, 2, 40}) {
    TitleRun r("G_INT count = -1, pad = -1\ncount = SYS_JOYCOUNT\npad = SYS_PAD\n");
    r.host().joysticks = found;
    r.run(3);
    EXPECT_EQ(r.first_error(), "");
    EXPECT_EQ(r.int_var("count"), found > 16 ? 16 : found) << found;
    EXPECT_EQ(r.int_var("pad"), found > 0 ? 1 : 0) << found;
  }
}

TEST(KeysInTitles, AKeyHeldThreeFramesCountsAndItsPressIsCounted) {
  TitleRun r(tracing("", "str(KEY_A) + \"/\" + str(KEY2_A) + \" \"", 6));
  script(r, "2 key down A\n5 key up a\n");
  r.run(20);
  EXPECT_EQ(r.first_error(), "");
  EXPECT_EQ(r.text_var("trace"), "-1/0 1/1 2/1 3/1 -1/1 -2/1 ");
}

TEST(KeysInTitles, ShiftFollowsTheLeftShiftKeyAndAnyKeyFollowsAll) {
  TitleRun r(tracing("", "str(KEY_SHIFT) + str(KEY_LSHIFT) + str(KEY_ANY) + \" \"", 3));
  script(r, "2 press LSHIFT\n");
  r.run(20);
  EXPECT_EQ(r.text_var("trace"), "-1-1-1 111 -1-1-1 ");
}

TEST(KeysInTitles, InputKeyZeroFreezesTheKeys) {
  TitleRun r(tracing("INPUT[KEY=0]\n", "str(KEY_SPACE) + \" \"", 3));
  script(r, "2 key down SPACE\n");
  r.run(20);
  EXPECT_EQ(r.text_var("trace"), "-1 -1 -1 ");  // sampled once before INPUT ran, then frozen
}

TEST(KeysInTitles, ATapInsideOneFrameIsSeen) {
  TitleRun r(tracing("", "str(KEY_RETURN) + \" \"", 3));
  script(r, "2 key down RETURN\n2 key up RETURN\n");
  r.run(20);
  EXPECT_EQ(r.text_var("trace"), "-1 1 -1 ");
}

TEST(KeysInTitles, WheelAndMovedLastOneFrame) {
  TitleRun r(tracing("", "str(KEY_WHEELUP) + str(KEY_WHEELDOWN) + str(KEY_MOUSEMOVE) + \" \"", 4));
  script(r, "1 mouse 10 10\n2 wheel 1\n3 wheel -3\n");
  r.run(20);
  EXPECT_EQ(r.text_var("trace"), "-1-11 1-2-1 -11-2 -2-1-3 ");
}

TEST(KeysInTitles, AnOutsidePressIsIgnoredWhileAHeldButtonStaysHeld) {
  TitleRun r(tracing("", "str(KEY_LBUTTON) + \",\" + str(KEY_RBUTTON) + \" \"", 5));
  script(r,
         "1 mouse 10 10\n"
         "2 button down left\n"
         "3 mouse -5 10\n"          // leaves the client area with the left button held
         "3 button down right\n"    // pressed outside: not counted
         "4 button up left\n"
         "5 button up right\n");
  r.run(20);
  EXPECT_EQ(r.text_var("trace"), "-1,-1 1,-2 2,-3 -1,-4 -2,-5 ");
}

TEST(KeysInTitles, AutoHideRunsOnTheVirtualClock) {
  // 60 frames a second: the key on frame 2 starts the clock; 500 ms later
  // the cursor is hidden; a move shows it again.
  TitleRun r(tracing("MOUSE[MODE=1 TIME=500]\n", "\"\"", 60));
  script(r, "1 mouse 5 5\n2 press A\n50 mouse 6 6\n");
  auto& d = *platform::headless_display(r.host());
  r.run(30);
  EXPECT_TRUE(d.cursor_shown());
  r.run(15);
  EXPECT_FALSE(d.cursor_shown());
  r.run(10);
  EXPECT_TRUE(d.cursor_shown());
}

TEST(KeysInTitles, MouseXAndYMoveThePointerWithinTheMainWindow) {
  TitleRun r("G_INT x = 0, y = 0\n*SYSTEM_START\nMOUSE[X=100 Y=50]\nWAIT[FRAME=1]\nMOUSE[X=30]\nWAIT[FRAME=1]\n"
             "x = SYS_MOUSEX\ny = SYS_MOUSEY\nMOUSE[CURSOR=11]\nEND\n");
  r.run(10);
  EXPECT_EQ(r.first_error(), "");
  EXPECT_EQ(r.int_var("x"), 30);
  EXPECT_EQ(r.int_var("y"), 50);
  auto& d = *platform::headless_display(r.host());
  int cx = 0, cy = 0;
  ASSERT_TRUE(d.client_cursor(0, cx, cy));
  EXPECT_EQ(cx, 30);
  EXPECT_EQ(cy, 50);
  EXPECT_EQ(d.cursor_shape(), 11);
}

TEST(KeysInTitles, AssignedKeyValuesCountOnFromThere) {
  TitleRun a("G_INT v = 0\n*SYSTEM_START\nKEY_C = 40\nKEY2_C = 7\nWAIT[FRAME=1]\nv = KEY_C * 100 + KEY2_C\nEND\n");
  a.run(10);
  EXPECT_EQ(a.first_error(), "");
  EXPECT_EQ(a.int_var("v"), 39 * 100 + 7);  // released: the counter goes on down from 40
}

TEST(KeysInTitles, TwoRunsWithTheSameInputEndWithTheSameVariables) {
  const std::string title = tracing("", "str(KEY_A + KEY_LBUTTON * 10 + KEY_WHEELUP * 100 + SYS_MOUSEX) + \",\"", 30);
  const std::string input = "3 press A\n4 click 20 30\n7 wheel 2\n9 key down A\n15 key up A\n20 mouse 90 12\n";
  TitleRun one(title), two(title);
  script(one, input);
  script(two, input);
  one.run(100);
  two.run(100);
  EXPECT_EQ(one.text_var("trace"), two.text_var("trace"));
  TitleRun none(title);
  none.run(100);
  EXPECT_NE(one.text_var("trace"), none.text_var("trace"));
}

}  // namespace
}  // namespace nv::test
