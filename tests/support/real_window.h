// Helpers for tests that run the nivalo executable in a real window under a
// virtual X server and act on it as a player's desktop would: a title made
// with VIZud, the running process, the clipboard the title reports through,
// and the X server's window tree.
//
// NIVALO_PATH and VIZUD_PATH are given by the test's build.
#pragma once

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/shell.h"
#include "tests/support/temp_dir.h"

namespace nv::test {

// Writes title.cfg (a framed, shown 320x200 window with this caption) and
// main.nvs, and compiles the title.
inline void make_real_title(const TempDir& dir, const std::string& caption, const std::string& script) {
  dir.write("title.cfg", "caption = " + caption + "\nwidth = 320\nheight = 200\nshown = 1\nframe = 1\n");
  dir.write("main.nvs", script);
  std::string cmd = std::string(VIZUD_PATH) + " --quiet " + dir.str() + " >/dev/null 2>&1";
  ASSERT_EQ(std::system(cmd.c_str()), 0) << "VIZud failed on the test title";
}

// The nivalo process of one test, in a real window; killed at the end.
// Its standard error goes to window-err.txt in the title's folder.
struct RunningTitle {
  pid_t pid = -1;
  explicit RunningTitle(const TempDir& dir, const std::string& input_file = "") {
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
  ~RunningTitle() {
    if (pid > 0) {
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
    }
  }
  RunningTitle(const RunningTitle&) = delete;
  RunningTitle& operator=(const RunningTitle&) = delete;
};

inline std::string clipboard() { return output_of("xclip -o -selection clipboard 2>/dev/null"); }
inline void clear_clipboard() { (void)std::system("printf '' | xclip -selection clipboard -i 2>/dev/null"); }

// Polls the clipboard until it holds a text starting with `prefix` (~15 s).
inline std::string wait_clipboard(const std::string& prefix) {
  std::string now;
  for (int i = 0; i < 150; ++i) {
    now = clipboard();
    if (now.rfind(prefix, 0) == 0) return now;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return "(timed out; clipboard: " + now + ")";
}

// Polls the X server's window tree (~10 s) until a line matches `pattern`;
// the match and its groups, or nothing when none came.
inline std::vector<std::string> wait_tree_line(const std::string& pattern) {
  const std::regex line(pattern);
  for (int i = 0; i < 100; ++i) {
    const std::string tree = output_of("xwininfo -root -tree 2>/dev/null");
    std::smatch m;
    if (std::regex_search(tree, m, line)) return {m.begin(), m.end()};
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return {};
}

// The id of the window with this name once it is mapped (from the X
// server's tree: SDL's message boxes carry no class for xdotool to match).
inline std::string window_id(const std::string& name) {
  const std::vector<std::string> m = wait_tree_line("(0x[0-9a-f]+) \"" + name + "\":");
  return m.empty() ? "" : m[1];
}

inline void sh(const std::string& cmd) { ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd; }

}  // namespace nv::test
