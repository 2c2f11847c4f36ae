#include "host/startup.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "formats/command_table.h"
#include "host/engine.h"
#include "platform/encoding.h"
#include "platform/headless/platform_headless.h"
#include "tests/support/temp_dir.h"
#include "tools/writers/title_writer.h"

namespace nv {
namespace {

writers::TitleModel small_title(int w, int h, bool with_start = true) {
  writers::TitleModel t;
  t.config.width = w;
  t.config.height = h;
  writers::ScriptModel& s = t.add_script("main.txt");
  s.code.instruction(cmd::LABEL, 1);
  s.code.instruction(cmd::DEBUGLIST, 2);
  if (with_start) t.labels.push_back({"SYSTEM_START", 0, 1});
  return t;
}

struct TitleRun {
  test::TempDir dir;
  std::ostringstream err;
  platform::Platform host;
  std::unique_ptr<Engine> e;
  StartupResult result;
  void start() {
    host = platform::make_headless_platform({.title_dir = dir.str(), .err = &err, .desktop = {1024, 768}});
    e = std::make_unique<Engine>(host);
    result = start_engine(*e, "/nonexistent/nivalo");
  }
};

TEST(Startup, ZeroByZeroTakesTheDesktopAndSystemStartsAtItsLabel) {
  TitleRun r;
  writers::write_title(r.dir.path(), small_title(0, 0));
  r.start();
  ASSERT_TRUE(r.result.ok) << r.err.str();
  EXPECT_EQ(r.e->config.screen_width, 1024);
  EXPECT_EQ(r.e->config.screen_height, 768);
  EXPECT_EQ(r.e->tasks.system->task.pc, 1);
  EXPECT_TRUE(r.e->title_folder_writable);
  EXPECT_FALSE(std::filesystem::exists(r.dir.path() / "nvcfg.ini"));  // the probe cleans up
  EXPECT_EQ(r.err.str(), "");
}

TEST(Startup, SizeLargerThanTheDesktopRefusesToStart) {
  TitleRun r;
  writers::write_title(r.dir.path(), small_title(1025, 768));
  r.start();
  EXPECT_FALSE(r.result.ok);
  EXPECT_NE(r.err.str().find("[エラー] 画面サイズが対応していません。"), std::string::npos) << r.err.str();
  TitleRun exact;
  writers::write_title(exact.dir.path(), small_title(1024, 768));
  exact.start();
  EXPECT_TRUE(exact.result.ok) << exact.err.str();
}

TEST(Startup, ConfigurationAndTableFailuresStopWithTheirMessages) {
  TitleRun bad_size;
  writers::write_title(bad_size.dir.path(), small_title(640, 480));
  // 100 by 600: patch the width in the written file (the writer refuses it).
  auto cfg = bad_size.dir.path() / "nvbin" / "nvcfg.nbn";
  std::fstream f(cfg, std::ios::in | std::ios::out | std::ios::binary);
  const char w100[4] = {100, 0, 0, 0};
  f.seekp(16);
  f.write(w100, 4);
  f.close();
  bad_size.start();
  EXPECT_FALSE(bad_size.result.ok);
  EXPECT_NE(bad_size.err.str().find("画面サイズの値が不正です。"), std::string::npos) << bad_size.err.str();

  TitleRun no_label;
  writers::write_title(no_label.dir.path(), small_title(640, 480, false));
  no_label.start();
  EXPECT_FALSE(no_label.result.ok);
  EXPECT_NE(no_label.err.str().find("ラベル SYSTEM_START が"), std::string::npos) << no_label.err.str();

  TitleRun no_table;
  writers::write_title(no_table.dir.path(), small_title(640, 480));
  std::filesystem::remove(no_table.dir.path() / "nvbin" / "nvl.nbn");
  no_table.start();
  EXPECT_FALSE(no_table.result.ok);
  EXPECT_NE(no_table.err.str().find("[nvbin\\nvl.nbn]ファイルが"), std::string::npos) << no_table.err.str();
}

TEST(Startup, WriteProbeLeavesAnExistingIniFileAlone) {
  TitleRun r;
  writers::write_title(r.dir.path(), small_title(640, 480));
  r.dir.write("nvcfg.ini", "[title]\nkeep=1\n");
  r.start();
  ASSERT_TRUE(r.result.ok);
  EXPECT_TRUE(r.e->title_folder_writable);
  std::ifstream in(r.dir.path() / "nvcfg.ini");
  std::string kept((std::istreambuf_iterator<char>(in)), {});
  EXPECT_EQ(kept, "[title]\nkeep=1\n");
  size_t files = 0;
  for (auto& entry : std::filesystem::directory_iterator(r.dir.path())) files += entry.is_regular_file();
  EXPECT_EQ(files, 1u);  // no probe file left behind
}

TEST(Startup, UserSettingsWordsTakeEffectOnlyWhenZeroOrOne) {
  TitleRun r;
  writers::write_title(r.dir.path(), small_title(640, 480));
  std::string dat(128, '\0');
  dat[16] = 0;  // word 4 = 0: one worker
  dat[24] = 7;  // word 6 = 7: no effect
  r.dir.write("nvcfg.dat", dat);
  r.start();
  ASSERT_TRUE(r.result.ok);
  EXPECT_FALSE(r.e->user_settings.two_workers);
  EXPECT_FALSE(r.e->user_settings.stretch_fullscreen);
}

}  // namespace
}  // namespace nv
