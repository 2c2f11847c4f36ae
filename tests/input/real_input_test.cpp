// The nivalo executable in a real window under a virtual X server, driven
// by xdotool and xclip as a player's keyboard, mouse and desktop would; a
// title reports what it saw by putting a text on the clipboard.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <regex>
#include <string>
#include <thread>

#include "input/key_names.h"
#include "input/scripted_input.h"
#include "tests/support/shell.h"
#include "tests/support/temp_dir.h"
#include "tests/support/title_run.h"

namespace nv::input {
namespace {

using test::output_of;
using test::slurp;

constexpr const char* kCaption = "nivalo input";

void make_title(const test::TempDir& dir, const std::string& script) {
  dir.write("title.cfg", std::string("caption = ") + kCaption + "\nwidth = 320\nheight = 200\nshown = 1\nframe = 1\n");
  dir.write("main.nvs", script);
  std::string cmd = std::string(VIZUD_PATH) + " --quiet " + dir.str() + " >/dev/null 2>&1";
  ASSERT_EQ(std::system(cmd.c_str()), 0) << "VIZud failed on the test title";
}

// The nivalo process of one test, in a real window; killed at the end.
struct Running {
  pid_t pid = -1;
  Running(const test::TempDir& dir, const std::string& input_file = "") {
    const std::string err = (dir.path() / "window-err.txt").string();
    pid = fork();
    if (pid == 0) {
      setpgid(0, 0);
      if (!std::freopen(err.c_str(), "w", stderr)) _exit(126);
      if (input_file.empty())
        execl(NIVALO_PATH, NIVALO_PATH, dir.str().c_str(), static_cast<char*>(nullptr));
      else
        execl(NIVALO_PATH, NIVALO_PATH, "--input", input_file.c_str(), dir.str().c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
  }
  ~Running() {
    if (pid > 0) {
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
    }
  }
};

std::string clipboard() { return output_of("xclip -o -selection clipboard 2>/dev/null"); }

// Polls the clipboard until it holds a text starting with `prefix` (~15 s).
std::string wait_clipboard(const std::string& prefix) {
  std::string now;
  for (int i = 0; i < 150; ++i) {
    now = clipboard();
    if (now.rfind(prefix, 0) == 0) return now;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return "(timed out; clipboard: " + now + ")";
}

// The id of the window with this name once it is mapped (from the X
// server's tree: SDL's message boxes carry no class for xdotool to match).
std::string window_id(const std::string& name) {
  const std::regex line("(0x[0-9a-f]+) \"" + name + "\":");
  for (int i = 0; i < 100; ++i) {
    std::smatch m;
    const std::string tree = output_of("xwininfo -root -tree 2>/dev/null");
    if (std::regex_search(tree, m, line)) return m[1];
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return "";
}

void sh(const std::string& cmd) { ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd; }

class RealInput : public ::testing::Test {
 protected:
  void SetUp() override { std::system("printf '' | xclip -selection clipboard -i 2>/dev/null"); }
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
  const std::string box = window_id("question");
  ASSERT_FALSE(box.empty()) << slurp(dir.path() / "window-err.txt");
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
