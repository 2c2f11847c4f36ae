// The nivalo executable in a real window under a virtual X server, driven
// by xdotool and xclip as a player's keyboard, mouse and desktop would; a
// title reports what it saw by putting a text on the clipboard.
#include <gtest/gtest.h>

#include <string>

#include "input/key_names.h"
#include "input/scripted_input.h"
#include "tests/support/real_window.h"
#include "tests/support/title_run.h"

namespace nv::input {
namespace {

using test::sh;
using test::slurp;
using test::wait_clipboard;
using test::window_id;

constexpr const char* kCaption = "nivalo input";

void make_title(const test::TempDir& dir, const std::string& script) { test::make_real_title(dir, kCaption, script); }
using Running = test::RunningTitle;

class RealInput : public ::testing::Test {
 protected:
  void SetUp() override { test::clear_clipboard(); }
  test::TempDir dir;
};

TEST_F(RealInput, KeysAndClicksFromTheDesktopReachTheScript) {
  make_title(dir, R"(G_STR report
*SYSTEM_START
MOUSE[X=50 Y=40]
WAIT[FRAME=2]
CLIPACT[TEXT=1 SET="ready"]
LOOP[SET=-1]
  IF KEY2_A > 0
    IF KEY2_LBUTTON > 0
      report = "keys " + str(KEY2_A) + " " + str(KEY2_LBUTTON) + " " + str(SYS_MOUSEX) + " " + str(SYS_MOUSEY)
      CLIPACT[TEXT=1 SET=report]
      LOOP[SET=-1]
        WAIT[FRAME=1]
      LOOPEND
    IFEND
  IFEND
  WAIT[FRAME=1]
LOOPEND
)");
  Running run(dir);
  const std::string id = window_id(kCaption);
  ASSERT_FALSE(id.empty()) << slurp(dir.path() / "window-err.txt");
  // Keys go to the window under the pointer (no window manager): type only
  // once the title has moved the pointer into its window.
  ASSERT_EQ(wait_clipboard("ready"), "ready") << slurp(dir.path() / "window-err.txt");
  sh("xdotool windowactivate --sync " + id + " ; xdotool key a && sleep 0.2 && xdotool click 1");
  EXPECT_EQ(wait_clipboard("keys"), "keys 1 1 50 40");
}

TEST_F(RealInput, TextPutOnTheClipboardByTheDesktopIsReadBack) {
  make_title(dir, R"(G_STR back
*SYSTEM_START
LOOP[SET=-1]
  back = ""
  CLIPINFO[TEXT=1 LET=back]
  IF back == "ペーストした文字"
    CLIPACT[TEXT=1 SET="got " + back]
  IFEND
  WAIT[FRAME=1]
LOOPEND
)");
  Running run(dir);
  ASSERT_FALSE(window_id(kCaption).empty());
  sh("printf 'ペーストした文字' | xclip -selection clipboard -i");
  EXPECT_EQ(wait_clipboard("got"), "got ペーストした文字");
}

TEST_F(RealInput, AMessageBoxIsAnsweredWithReturn) {
  make_title(dir, R"(G_INT v = 0
*SYSTEM_START
WAIT[FRAME=10]
DIALOG[STR="box" CAPTION="question" OKCANCEL=1 DEFBUTTON=2 LET=v]
CLIPACT[TEXT=1 SET="box " + str(v)]
LOOP[SET=-1]
  WAIT[FRAME=1]
LOOPEND
)");
  Running run(dir);
  const std::string main_window = window_id(kCaption);
  const std::string box = window_id("question");
  ASSERT_FALSE(box.empty()) << slurp(dir.path() / "window-err.txt");
  // The box belongs to the main window: the desktop keeps it over it.
  EXPECT_EQ(test::output_of("xprop -id " + box + " WM_TRANSIENT_FOR"),
            "WM_TRANSIENT_FOR(WINDOW): window id # " + main_window + "\n");
  sh("xdotool windowactivate --sync " + box + " && sleep 0.3 && xdotool key Return");
  EXPECT_EQ(wait_clipboard("box"), "box 2");
}

// One input file drives a headless run and a real window to the same end.
TEST_F(RealInput, TheSameInputFileGivesTheSameVariablesHeadlessAndInAWindow) {
  const std::string title = R"(G_INT v = 0
G_STR report, typed
*SYSTEM_START
WAIT[FRAME=50]
DIALOG[STR="q" YESNO=1 LET=v]
DIALOG[INPUT=1 LET=v2 LETSTR=typed]
WAIT[FRAME=10]
report = "end " + str(KEY2_A) + "," + str(KEY_A) + "," + str(KEY2_LBUTTON) + "," + str(KEY2_RETURN) + "," + str(KEY2_WHEELUP) + "," + str(KEY2_WHEELDOWN) + "," + str(SYS_MOUSEX) + "," + str(SYS_MOUSEY) + "," + str(v) + "," + typed
CLIPACT[TEXT=1 SET=report]
LOOP[SET=-1]
  WAIT[FRAME=1]
LOOPEND
)";
  const std::string input =
      "30 press A\n32 key down A\n35 key up A\n36 mouse 40 20\n37 button down left\n38 button up left\n"
      "40 wheel 2\n41 wheel -1\n42 press RETURN\n44 answer no\n45 type 入力\n";
  std::string src = title;
  src.replace(src.find("G_INT v = 0"), 11, "G_INT v = 0, v2 = 0");
  dir.write("input.txt", input);

  test::TitleRun headless(src, {.config = "width = 320\nheight = 200\n"});
  ASSERT_TRUE(headless.start()) << headless.messages();
  std::string error;
  ASSERT_TRUE(parse_scripted_input(input, "input.txt", virtual_key_of_name, headless.engine().input.script, error));
  headless.run(80);
  const std::string want = headless.text_var("report");
  ASSERT_EQ(want.rfind("end ", 0), 0u) << want;

  make_title(dir, src);
  Running run(dir, (dir.path() / "input.txt").string());
  EXPECT_EQ(wait_clipboard("end"), want);
}

}  // namespace
}  // namespace nv::input
