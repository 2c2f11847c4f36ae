// SAVE, LOAD, SAVEEND, CSV and CSVINFO, run as titles.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "data/save_file.h"
#include "data/save_state.h"
#include "host/engine.h"
#include "platform/file_replace.h"
#include "tests/data/save_test_support.h"
#include "tests/graphics/layer_test_support.h"
#include "tests/support/title_run.h"

namespace nv {
namespace {

using save::test::Bytes;
using save::test::read_host;
using test::TitleRun;
namespace fs = std::filesystem;

// Runs `source` to its end; the first error (UTF-8), empty when none.
std::string run_title(TitleRun& r, int frames = 3) {
  EXPECT_TRUE(r.ok()) << r.messages();
  r.run(frames);
  return r.first_error();
}

TEST(SaveCommands, EveryTypeAndShapeRoundTrips) {
  TitleRun r(
      "INT a = -5, g[2][3], b = 0, h[2][3]\nFLT f = 1.25, x = 0.0\nSTR s = \"表示\", t[3], u = \"\", w[3]\n"
      "g[1][2] = 12\ng[0][1] = 1\nt[0] = \"あ\"\nt[2] = \"z\"\n"
      "SAVE[DNO=1 SET=a]\nSAVE[DNO=2 SET=f]\nSAVE[DNO=3 SET=s]\nSAVE[DNO=4 SET=g]\nSAVE[DNO=5 SET=t]\n"
      "SAVE[DNO=6 SET=g[1][2]]\nSAVE[FILE=\"slot\" DNO=7 SET=t[0]]\n"
      "LOAD[FILE=\"slot\" DNO=1 LET=b]\nLOAD[FILE=\"slot\" DNO=2 LET=x]\nLOAD[FILE=\"slot.sd\" DNO=3 LET=u]\n"
      "LOAD[FILE=\"SLOT.SD\" DNO=4 LET=h]\nLOAD[FILE=\"slot\" DNO=5 LET=w]\n"
      "INT e6 = 0\nSTR e7 = \"\"\nLOAD[FILE=\"slot\" DNO=6 LET=e6]\nLOAD[FILE=\"slot\" DNO=7 LET=e7]\n"
      "INT into[4]\nLOAD[FILE=\"slot\" DNO=1 LET=into[3]]\n");
  EXPECT_EQ(run_title(r), "");
  EXPECT_TRUE(fs::is_regular_file(r.dir() / "save" / "slot.sd"));
  EXPECT_EQ(r.int_var("b"), -5);
  EXPECT_DOUBLE_EQ(r.float_var("x"), 1.25);
  EXPECT_EQ(r.text_var("u"), "表示");
  EXPECT_EQ(r.int_var("h", 5), 12);
  EXPECT_EQ(r.int_var("h", 1), 1);
  EXPECT_EQ(r.int_var("h", 0), 0);
  EXPECT_EQ(r.text_var("w", 0), "あ");
  EXPECT_EQ(r.text_var("w", 1), "");
  EXPECT_EQ(r.text_var("w", 2), "z");
  EXPECT_EQ(r.int_var("e6"), 12);
  EXPECT_EQ(r.text_var("e7"), "あ");
  EXPECT_EQ(r.int_var("into", 3), -5);
  EXPECT_FALSE(r.engine().save.slots.any());
}

TEST(SaveCommands, RewritingAndAppendingKeepTheCount) {
  TitleRun r(
      "INT a = 1\nSAVE[DNO=1 SET=a]\nSAVE[DNO=2 SET=a]\nSAVE[DNO=3 SET=a FILE=\"d\"]\n"
      "a = 33\nSAVE[DNO=3 SET=a FILE=\"d\"]\n");
  EXPECT_EQ(run_title(r), "");
  Bytes file = read_host(r.dir() / "save" / "d.sd");
  EXPECT_EQ(save::test::get_u32(file, 8), 3u);
  uint32_t at3 = save::test::get_u32(file, 16 + 8);
  EXPECT_GT(at3, save::test::get_u32(file, 16 + 4));  // still the third record

  TitleRun r2("INT a = 4, b = 0\nSAVE[DNO=4 SET=a FILE=\"d\"]\nLOAD[FILE=\"d\" DNO=3 LET=b]\n");
  ASSERT_TRUE(r2.ok());
  fs::create_directories(r2.dir() / "save");
  fs::copy_file(r.dir() / "save" / "d.sd", r2.dir() / "save" / "d.sd");
  EXPECT_EQ(run_title(r2), "");
  EXPECT_EQ(save::test::get_u32(read_host(r2.dir() / "save" / "d.sd"), 8), 4u);
  EXPECT_EQ(r2.int_var("b"), 33);
}

struct ErrorCase {
  const char* source;
  const char* message;  // a part of the first error's text
};

TEST(SaveCommands, Errors) {
  const ErrorCase cases[] = {
      {"INT a\nSAVE[FILE=\"abcdefghijabcdefghijabcdefghij.sd\" DNO=1 SET=a]\n", "32文字以内"},
      {"INT a\nSAVE[FILE=\"dir/x\" DNO=1 SET=a]\n", "「／」「￥」は使用出来ません"},
      {"INT a\nSAVE[DNO=5 SET=a]\nSAVE[DNO=5 SET=a]\n", "SAVE[DNO=5]\n\n指定したデータ番号はすでに"},
      {"INT a\nLOAD[FILE=\"none\" DNO=1 LET=a]\n", "LOAD[FILE]\n\nロードするファイル none.sd が"},
      {"INT a\nSAVE[FILE=\"f\" DNO=1 SET=a]\nLOAD[FILE=\"f\" DNO=2 LET=a]\n", "LOAD[DNO]\n\n指定したデータ番号がファイルデータ内に"},
      {"INT a\nLOAD[FILE=\"f\" LET=a]\n", "LOAD[DNO]"},
      {"INT a\nFLT f\nSAVE[FILE=\"f\" DNO=1 SET=a]\nLOAD[FILE=\"f\" DNO=1 LET=f]\n", "LOAD[ ]\n\nFLT 変数データを"},
      {"INT a[2]\nINT b[3]\nSAVE[FILE=\"f\" DNO=1 SET=a]\nLOAD[FILE=\"f\" DNO=1 LET=b]\n", "添字サイズが違います"},
      {"INT a[2]\nINT b[2][1]\nSAVE[FILE=\"f\" DNO=1 SET=a]\nLOAD[FILE=\"f\" DNO=1 LET=b]\n", "配列次元数が違います"},
      {"INT a[2]\nINT b[2]\nSAVE[FILE=\"f\" DNO=1 SET=a]\nLOAD[FILE=\"f\" DNO=1 LET=b[0]]\n", "配列次元数が違います"},
      {"INT a\nSAVE[FILE=\"f\" DNO=1 SET=a]\nLOAD[FILE=\"f\" DNO=1 ID=\"p\"]\n", "格納されているデータは変数データです"},
      {"CG[ID=\"s/\" SX=2 SY=2 Z=1]\nINT a\nSAVE[FILE=\"f\" DNO=1 ID=\"s/\"]\nLOAD[FILE=\"f\" DNO=1 LET=a]\n",
       "格納されているデータは画像データです"},
      {"SAVE[FILE=\"f\" DNO=1 ID=\"nothing\"]\n", "SAVE[ ]\n\n指定したレイヤ[ID=nothing] が見つかりません"},
      {"STR s[3000][1000]\ns[0][0] = \"x\"\nSAVE[FILE=\"f\" DNO=1 SET=s]\n", ""},  // 12 MB: allowed
      {"STR s[2000][2000] = \"0123456789\"\nSAVE[FILE=\"f\" DNO=1 SET=s]\n", "配列サイズが 40000000 Byte を超えています"},
  };
  for (const ErrorCase& c : cases) {
    TitleRun r(c.source);
    std::string got = run_title(r, 5);
    if (*c.message) EXPECT_NE(got.find(c.message), std::string::npos) << c.source << "\ngave: " << got;
    else EXPECT_EQ(got, "") << c.source;
  }
}

TEST(SaveCommands, SaveEndDropsThePendingRecords) {
  TitleRun r("INT a = 1, b = 0\nSAVE[DNO=5 SET=a]\nSAVEEND\na = 2\nSAVE[DNO=5 SET=a]\nSAVE[FILE=\"f\"]\n"
             "LOAD[FILE=\"f\" DNO=5 LET=b]\n");
  EXPECT_EQ(run_title(r), "");
  EXPECT_EQ(r.int_var("b"), 2);
}

TEST(SaveCommands, AFailedWriteKeepsTheOldFileAndThePendingRecords) {
  TitleRun once("INT a = 7\nSAVE[DNO=1 SET=a FILE=\"f\"]\n");
  EXPECT_EQ(run_title(once), "");
  const Bytes first = read_host(once.dir() / "save" / "f.sd");

  TitleRun fail("INT a = 8\nSAVE[DNO=2 SET=a]\nSAVE[DNO=3 SET=a FILE=\"f\"]\n");
  ASSERT_TRUE(fail.ok());
  fs::create_directories(fail.dir() / "save");
  fs::copy_file(once.dir() / "save" / "f.sd", fail.dir() / "save" / "f.sd");
  // A full disk after the temporary got its first piece (step 2).
  ::setenv(platform::kReplaceFaultVariable, "2:28", 1);
  std::string error = run_title(fail);
  ::unsetenv(platform::kReplaceFaultVariable);
  EXPECT_NE(error.find("SAVE[ ]\n\nファイルデータ f.sd を書き込めませんでした。\n\nエラー番号 : 28\n  デバイスに空き領域がありません。"),
            std::string::npos)
      << error;
  EXPECT_EQ(read_host(fail.dir() / "save" / "f.sd"), first);
  EXPECT_TRUE(fail.engine().save.slots.filled(2));
  EXPECT_TRUE(fail.engine().save.slots.filled(3));
  for (const auto& entry : fs::directory_iterator(fail.dir() / "save")) EXPECT_EQ(entry.path().filename(), "f.sd");
}

TEST(SaveCommands, ASaveKilledAtAnyStepLeavesAllOldOrAllNew) {
  // The old save holds 1..3 = 1; the new one rewrites them as 2 and adds 4.
  const char* saver =
      "INT a = 2\nSAVE[DNO=1 SET=a]\nSAVE[DNO=2 SET=a]\nSAVE[DNO=3 SET=a]\nSAVE[DNO=4 SET=a FILE=\"f\"]\n";
  TitleRun old_save("INT a = 1\nSAVE[DNO=1 SET=a]\nSAVE[DNO=2 SET=a]\nSAVE[DNO=3 SET=a FILE=\"f\"]\n");
  EXPECT_EQ(run_title(old_save), "");
  const Bytes old_file = read_host(old_save.dir() / "save" / "f.sd");
  const int pieces = 1 + 4;
  for (int step = 1; step <= pieces + 4; ++step) {
    SCOPED_TRACE("killed after step " + std::to_string(step));
    TitleRun r(saver);
    ASSERT_TRUE(r.ok());
    fs::create_directories(r.dir() / "save");
    fs::copy_file(old_save.dir() / "save" / "f.sd", r.dir() / "save" / "f.sd");
    pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      ::setenv(platform::kReplaceFaultVariable, (std::to_string(step) + ":kill").c_str(), 1);
      r.run(3);
      ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);

    // Another title loads every record of what the killed one left.
    TitleRun loader("INT v[5]\nLOAD[FILE=\"f\" DNO=1 LET=v[1]]\nLOAD[FILE=\"f\" DNO=2 LET=v[2]]\n"
                    "LOAD[FILE=\"f\" DNO=3 LET=v[3]]\nv[4] = -1\nSAVE[FILE=\"probe\" DNO=1 SET=v]\n"
                    "LOAD[FILE=\"f\" DNO=4 LET=v[4]]\n");
    ASSERT_TRUE(loader.ok());
    fs::create_directories(loader.dir() / "save");
    fs::copy_file(r.dir() / "save" / "f.sd", loader.dir() / "save" / "f.sd");
    std::string error = run_title(loader);
    const bool renamed = step >= pieces + 3;
    const int64_t want = renamed ? 2 : 1;
    for (int k = 1; k <= 3; ++k) EXPECT_EQ(loader.int_var("v", k), want) << k;
    if (renamed) {
      EXPECT_EQ(error, "");
      EXPECT_EQ(loader.int_var("v", 4), 2);
    } else {
      EXPECT_NE(error.find("LOAD[DNO]"), std::string::npos) << error;  // 4 is not there yet
      EXPECT_EQ(read_host(r.dir() / "save" / "f.sd"), old_file);
    }
  }
}

TEST(SaveCommands, Images) {
  TitleRun r(
      "CG[ID=\"pic\" FILE=\"pic.png\" Z=5 X=3]\nSAVE[FILE=\"img\" DNO=9 ID=\"pic\"]\n"
      "CG[ID=\"s/\" SX=3 SY=2 Z=1]\nSAVE[FILE=\"img\" DNO=10 ID=\"s/\"]\n"
      "LOAD[FILE=\"img\" DNO=9 ID=\"copy\"]\nLOAD[FILE=\"img\" DNO=9 ID=\"pic\"]\nLOAD[FILE=\"img\" DNO=10 ID=\"set\"]\n");
  ASSERT_TRUE(r.ok());
  std::vector<uint32_t> px = {0x80FF0000u, 0xFF00FF00u, 0x00808080u, 0xFF0000FFu, 0x12345678u, 0xFFFFFFFFu};
  test::write_png(r.dir(), "pic.png", 3, 2, px);
  EXPECT_EQ(run_title(r), "");
  gfx::LayerNode* copy = test::layer_at(r.engine(), "W0/copy");
  ASSERT_TRUE(copy && copy->layer);
  const gfx::Layer& c = *copy->layer;
  EXPECT_EQ(c.sx, 3);
  EXPECT_EQ(c.sy, 2);
  EXPECT_TRUE(c.alpha);
  gfx::LayerNode* pic = test::layer_at(r.engine(), "W0/pic");
  ASSERT_TRUE(pic && pic->layer);
  EXPECT_EQ(pic->layer->pixels, c.pixels);
  // The loaded layer is a new one with default attributes.
  EXPECT_EQ(pic->layer->x, 0);
  EXPECT_EQ(pic->z, 1);
  gfx::LayerNode* set = test::layer_at(r.engine(), "W0/set");
  ASSERT_TRUE(set && set->layer);
  EXPECT_EQ(set->layer->sx, 3);
  EXPECT_EQ(set->layer->pixels, std::vector<uint32_t>(6, 0));
  EXPECT_FALSE(set->layer->alpha);
}

TEST(SaveCommands, AFailedLoadLeavesTheLayerAndTheVariable) {
  TitleRun r("CG[ID=\"pic\" FILE=\"pic.png\" Z=5]\nINT a[2]\na[1] = 9\nLOAD[FILE=\"bad\" DNO=1 ID=\"pic\"]\n");
  ASSERT_TRUE(r.ok());
  test::write_png(r.dir(), "pic.png", 2, 2, 0xFF102030u);
  Bytes bad = save::test::merge(nullptr, {save::test::image_record(1, 2, 2, 0)});
  bad[bad.size() - 1] ^= 0x40;  // the stream's adler-32 no longer holds
  fs::create_directories(r.dir() / "save");
  std::ofstream(r.dir() / "save" / "bad.sd", std::ios::binary)
      .write(reinterpret_cast<const char*>(bad.data()), std::streamsize(bad.size()));
  EXPECT_NE(run_title(r).find("データエラーです"), std::string::npos);
  gfx::LayerNode* pic = test::layer_at(r.engine(), "W0/pic");
  ASSERT_TRUE(pic && pic->layer);
  EXPECT_EQ(pic->layer->pixels, std::vector<uint32_t>(4, 0xFF102030u));
  EXPECT_EQ(pic->z, 5);
}

TEST(SaveCommands, AReadOnlyTitleSavesInTheUsersDataFolder) {
  nv::test::TempDir home;
  ::setenv("XDG_DATA_HOME", home.str().c_str(), 1);
  TitleRun r("INT a = 5, b = 0\nSAVE[FILE=\"f\" DNO=1 SET=a]\nLOAD[FILE=\"f\" DNO=1 LET=b]\n");
  ASSERT_TRUE(r.ok());
  ASSERT_TRUE(r.start());
  r.engine().title_folder_writable = false;
  EXPECT_EQ(run_title(r), "");
  ::unsetenv("XDG_DATA_HOME");
  EXPECT_EQ(r.int_var("b"), 5);
  EXPECT_FALSE(fs::exists(r.dir() / "save"));
  const fs::path title_name = fs::weakly_canonical(r.dir()).filename();
  EXPECT_TRUE(fs::is_regular_file(home.path() / "nivalo" / title_name / "save" / "f.sd"));
}

TEST(CsvCommands, SplitsIntoATextArray) {
  TitleRun r(
      "STR c[8], few[2]\nINT n = 0, none = -1\nCSV[FILE=\"data/t.csv\" LET=c]\nCSV[FILE=\"data/t.csv\" LET=few]\n"
      "CSVINFO[FILE=\"data/t.csv\" SIZE=1 LET=n]\nCSVINFO[FILE=\"data/t.csv\" LET=none]\n");
  ASSERT_TRUE(r.ok());
  fs::create_directories(r.dir() / "data");
  std::ofstream(r.dir() / "data" / "t.csv", std::ios::binary) << "a, \"b,c\"\r\n\x95\x5C,'x'\nlast";
  EXPECT_EQ(run_title(r), "");
  const char* want[] = {"a", "\"b,c\"", "\r", "表", "'x'", "\r", "last", "\r"};
  for (int k = 0; k < 8; ++k) EXPECT_EQ(r.text_var("c", k), want[k]) << k;
  EXPECT_EQ(r.text_var("few", 0), "a");
  EXPECT_EQ(r.text_var("few", 1), "\"b,c\"");
  EXPECT_EQ(r.int_var("n"), 8);
  EXPECT_EQ(r.int_var("none"), -1);  // without SIZE CSVINFO does nothing
}

TEST(CsvCommands, AMissingFileIsReported) {
  TitleRun r("STR c[2]\nCSV[FILE=\"none.csv\" LET=c]\n");
  EXPECT_NE(run_title(r).find("none.csv"), std::string::npos);
}

}  // namespace
}  // namespace nv
