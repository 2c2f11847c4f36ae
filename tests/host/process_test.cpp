// The nivalo executable as a process: exit status and standard error, the
// first title of the docs, a second start on the same title, END RESTART.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <regex>
#include <string>
#include <thread>

#include "tests/support/shell.h"
#include "tests/support/temp_dir.h"

namespace nv {
namespace {

using test::slurp;

struct Result {
  int status = -1;
  std::string err;
};

// Runs a shell command with standard error captured.
Result run(const std::string& cmd, const test::TempDir& dir) {
  auto err = dir.path() / "stderr.txt";
  int rc = std::system((cmd + " 2>" + err.string() + " >/dev/null").c_str());
  return {WIFEXITED(rc) ? WEXITSTATUS(rc) : -1, slurp(err)};
}

// Writes and compiles a title in `dir`.
void make_title(const test::TempDir& dir, const std::string& source, const std::string& cfg = "width = 640\nheight = 480\n") {
  dir.write("title.cfg", cfg);
  dir.write("main.nvs", source);
  Result c = run(std::string(VIZUD_PATH) + " " + dir.str(), dir);
  ASSERT_EQ(c.status, 0) << c.err;
}

// The code blocks of the "A first title" section of docs/usage.md.
std::vector<std::string> first_title_from_docs() {
  std::string doc = slurp(std::filesystem::path(SOURCE_DIR) / "docs" / "usage.md");
  size_t at = doc.find("### A first title");
  std::vector<std::string> blocks;
  std::regex block("```\\n([\\s\\S]*?)```");
  std::string rest = at == std::string::npos ? "" : doc.substr(at);
  rest = rest.substr(0, rest.find("\n## "));
  for (std::sregex_iterator it(rest.begin(), rest.end(), block), end; it != end; ++it) blocks.push_back((*it)[1]);
  return blocks;
}

TEST(Process, TheFirstTitleOfTheDocsRunsCleanly) {
  std::vector<std::string> blocks = first_title_from_docs();
  ASSERT_GE(blocks.size(), 2u);
  test::TempDir dir;
  make_title(dir, blocks[1], blocks[0]);
  Result r = run(std::string(NIVALO_PATH) + " --headless --frames 10 " + dir.str(), dir);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  // Without a frame limit it ends by itself.
  Result all = run(std::string(NIVALO_PATH) + " --headless " + dir.str(), dir);
  EXPECT_EQ(all.status, 0);
  EXPECT_EQ(all.err, "");
}

TEST(Process, AScriptErrorIsPrintedWithItsPositionAndFails) {
  test::TempDir dir;
  make_title(dir, "*SYSTEM_START\nSTR where = \"nowhere\"\nWAIT[FRAME=2]\nGO[#=where]\n");
  Result r = run(std::string(NIVALO_PATH) + " --headless --frames 10 " + dir.str(), dir);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("ラベル nowhere が"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("main.nvs"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("4"), std::string::npos) << r.err;
}

// Waits up to `seconds` for `done` to hold.
template <typename F>
bool eventually(F done, int seconds) {
  auto until = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (std::chrono::steady_clock::now() < until) {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return done();
}

pid_t spawn_nivalo(const test::TempDir& dir, const std::string& err_name) {
  pid_t pid = fork();
  if (pid == 0) {
    setpgid(0, 0);
    std::string err = (dir.path() / err_name).string();
    freopen(err.c_str(), "w", stderr);
    execl(NIVALO_PATH, NIVALO_PATH, "--headless", dir.str().c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  return pid;
}

TEST(Process, ASecondStartEndsAndBringsTheFirstForward) {
  test::TempDir dir;
  make_title(dir, "*SYSTEM_START\nLOOP[SET=-1]\n  WAIT[FRAME=1]\nLOOPEND\n");
  pid_t first = spawn_nivalo(dir, "first.txt");
  ASSERT_GT(first, 0);
  // The first instance holds the lock once its lock file exists; give it time to start.
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  Result second = run(std::string(NIVALO_PATH) + " --headless " + dir.str(), dir);
  EXPECT_EQ(second.status, 0);
  bool raised = eventually([&] { return slurp(dir.path() / "first.txt").find("come forward") != std::string::npos; }, 10);
  EXPECT_TRUE(raised) << slurp(dir.path() / "first.txt");
  int status = 0;
  EXPECT_EQ(waitpid(first, &status, WNOHANG), 0);  // still running
  kill(-first, SIGKILL);
  waitpid(first, &status, 0);
}

TEST(Process, EndRestartStartsTheProgramAgainWithTheSameArguments) {
  test::TempDir dir;
  make_title(dir, "*SYSTEM_START\nEND[RESTART=1]\n");
  Result r = run(std::string(NIVALO_PATH) + " --headless --frames 5 " + dir.str(), dir);
  EXPECT_EQ(r.status, 0) << r.err;
  // Each process notes its restart in info.txt before it starts the next.
  auto restarts = [&] {
    std::string log = slurp(dir.path() / "info.txt");
    size_t n = 0;
    for (size_t p = log.find("--frames 5"); p != std::string::npos; p = log.find("--frames 5", p + 1)) ++n;
    return n;
  };
  EXPECT_TRUE(eventually([&] { return restarts() >= 3; }, 20)) << slurp(dir.path() / "info.txt");
  // Stop the chain: each process lives only a moment, so keep asking.
  // "[-]-frames" matches the engine's command lines but not the shell's own.
  std::string stop = "pkill -KILL -f '[-]-frames 5 " + dir.str() + "'";
  for (int i = 0; i < 20; ++i) {
    if (std::system((stop + " >/dev/null 2>&1").c_str()) != 0) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
}

}  // namespace
}  // namespace nv
