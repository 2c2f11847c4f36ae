// The message window in a real window under a virtual X server: the screen
// shows the text the headless run of the same title draws.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <thread>

#include "tests/platform/sdl/x_screen.h"
#include "tests/support/shell.h"
#include "tests/support/temp_dir.h"
#include "tests/text/message_title.h"

namespace nv::text::test {
namespace {

using nv::test::quoted;
using nv::test::slurp;

constexpr const char* kCaption = "nivalo message window";

// The box's lines as lit masks, read from `f` with the client area at (ox, oy).
std::vector<std::vector<bool>> box_lines(const Frame& f, int ox, int oy) {
  std::vector<std::vector<bool>> lines;
  for (int line = 0; line < 3; ++line) {
    auto cells = line_cells(f, ox + kBoxX, oy + kBoxY, line, kBoxWidth, 1);
    lines.push_back(cells[0]);
  }
  return lines;
}

TEST(MessageWindowOnScreen, TheWindowShowsTheTextOfTheHeadlessRun) {
  nv::test::TempDir dir;
  ASSERT_EQ(make_message_title(dir, kCaption), "");
  const auto png = dir.path() / "headless.png", err = dir.path() / "headless.err";
  const std::string cmd = std::string(NIVALO_PATH) + " --headless --frames 60 --snapshot " + quoted(png) + " " +
                          dir.str() + " >/dev/null 2>" + quoted(err);
  ASSERT_EQ(std::system(cmd.c_str()), 0) << slurp(err);
  std::optional<Frame> want = read_frame(png);
  ASSERT_TRUE(want);
  const auto want_lines = box_lines(*want, 0, 0);
  ASSERT_GT(lit_pixels({want_lines[0]}), 200) << "the headless run shows no kana";

  const pid_t pid = fork();
  if (pid == 0) {
    setpgid(0, 0);
    if (!std::freopen((dir.path() / "window.err").c_str(), "w", stderr)) _exit(126);
    execl(NIVALO_PATH, NIVALO_PATH, "--frames", "600", dir.str().c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  // Screenshots until the box on the screen shows the same two lines of
  // text (the screen's fonts may differ from the pinned set: the masks of
  // each line are compared for where the ink is, not pixel for pixel).
  std::string why = "nothing was checked";
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (std::chrono::steady_clock::now() < until) {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    auto origin = platform::test::client_origin(kCaption);
    if (!origin) {
      why = "no window named \"" + std::string(kCaption) + "\"";
      continue;
    }
    Frame shot;
    shot.rgb = platform::test::screenshot_pixels(shot.width, shot.height);
    if (shot.rgb.empty()) {
      why = "no screenshot (ImageMagick's import)";
      continue;
    }
    const auto got = box_lines(shot, origin->first, origin->second);
    if (got == want_lines) {
      why = "";
      shot.rgb.clear();
      break;
    }
    why = "the box's lines differ: " + std::to_string(lit_pixels({got[0]})) + ", " +
          std::to_string(lit_pixels({got[1]})) + ", " + std::to_string(lit_pixels({got[2]})) + " lit, headless " +
          std::to_string(lit_pixels({want_lines[0]})) + ", " + std::to_string(lit_pixels({want_lines[1]})) + ", " +
          std::to_string(lit_pixels({want_lines[2]}));
  }
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  EXPECT_EQ(why, "") << slurp(dir.path() / "window.err");
}

}  // namespace
}  // namespace nv::text::test
