// `nivalo --headless --input FILE`: a malformed line stops before the title
// starts, naming the line; a good file plays into the title.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "tests/support/shell.h"
#include "tests/support/temp_dir.h"

namespace nv::input {
namespace {

int run(const std::string& cmd) {
  const int st = std::system(cmd.c_str());
  return WIFEXITED(st) ? WEXITSTATUS(st) : -1;
}

TEST(InputOption, AMalformedLineStopsBeforeTheTitleAndAGoodFilePlays) {
  test::TempDir dir;
  dir.write("title.cfg", "width = 160\nheight = 120\n");
  dir.write("main.nvs",
            "*SYSTEM_START\nLOOP 30\n  IF KEY2_SPACE > 0\n    END\n  IFEND\n  WAIT[FRAME=1]\nLOOPEND\n"
            "DIALOG[STR=\"no space seen\"]\n");
  ASSERT_EQ(run(std::string(VIZUD_PATH) + " --quiet " + dir.str() + " >/dev/null 2>&1"), 0);
  const std::string err = (dir.path() / "err.txt").string();
  dir.write("bad.txt", "# keys\n5 press SPACE\n6 key sideways A\n");
  const std::string base = std::string(NIVALO_PATH) + " --headless --frames 40 --input ";
  EXPECT_EQ(run(base + (dir.path() / "bad.txt").string() + " " + dir.str() + " 2>" + err), 2);
  EXPECT_NE(test::slurp(err).find("bad.txt:3: expected down or up, not \"sideways\""), std::string::npos)
      << test::slurp(err);
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "info.txt"));  // the title never started
  dir.write("good.txt", "5 press SPACE\n");
  EXPECT_EQ(run(base + (dir.path() / "good.txt").string() + " " + dir.str() + " 2>" + err), 0);
  EXPECT_EQ(test::slurp(err).find("no space seen"), std::string::npos) << test::slurp(err);
  // Without the file the title runs out and says so.
  EXPECT_EQ(run(std::string(NIVALO_PATH) + " --headless --frames 40 " + dir.str() + " 2>" + err), 0);
  EXPECT_NE(test::slurp(err).find("no space seen"), std::string::npos) << test::slurp(err);
}

}  // namespace
}  // namespace nv::input
