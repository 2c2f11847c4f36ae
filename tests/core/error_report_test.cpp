#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/error_report.h"
#include "platform/headless/platform_headless.h"
#include "runtime/error_table.h"
#include "tests/support/test_engine.h"
#include "tests/support/title_test.h"

namespace nv::test {
namespace {

class Reports : public TitleTest {
 protected:
  // A title whose script "%s\\scene.txt" is current at instruction 1 (line 12).
  void run_script() {
    w::ScriptModel& s = m.add_script("ev%s\\scene.txt");
    s.code.instruction(cmd::LABEL, 11);
    s.code.instruction(cmd::LABEL, 12);
    ASSERT_EQ(load(), 0);
    ASSERT_EQ(start_task_at(e(), task, 0), 0);
    e().dispatch.task = &task;
    e().dispatch.instruction = 1;
  }
  Task task;
};

TEST_F(Reports, AFramedReportNamesTheScriptAndLine) {
  run_script();
  EXPECT_EQ(report(e(), 108180, {"MAIN"}), -1);
  // The '%' of the script name is written as it stands and does not take
  // the message's argument.
  EXPECT_EQ(last_text(), sjis("[対象ファイル]\nev%s\\scene.txt\n\n[場所]\n12 行目\n\n[内容]\n\n"
                              "ラベル MAIN が\n見つかりませんでした。"));
  EXPECT_EQ(e().errors.last_error_script, "ev%s\\scene.txt");
  EXPECT_EQ(e().errors.last_error_line, 12);
  ASSERT_EQ(t.dialogs().size(), 1u);
  EXPECT_EQ(t.dialogs()[0].text, last_text());
  EXPECT_TRUE(t.dialogs()[0].is_error);
}

TEST_F(Reports, WithoutACurrentTaskOrFrameTheTextStandsAlone) {
  m.add_script("main.txt");
  ASSERT_EQ(load(), 0);
  report(e(), 101100, {4000000});
  EXPECT_EQ(last_text(), sjis("配列サイズが 4000000 Byte を超えています。"));
  EXPECT_EQ(e().errors.last_error_line, 1);

  run_script();
  report_ex(e(), 101110, {.stop = true, .framed = false});
  EXPECT_EQ(last_text(), sjis("配列サイズが 不正 です。"));
  EXPECT_EQ(e().errors.last_error_script, "");
}

TEST_F(Reports, OnlyTheFirstReportIsShownButEveryStopValueApplies) {
  run_script();
  report_ex(e(), 110200, {.stop = false, .framed = true});
  EXPECT_FALSE(e().stop.load());
  report(e(), 101140);
  EXPECT_TRUE(e().stop.load());
  ASSERT_EQ(t.dialogs().size(), 1u);
  EXPECT_NE(t.dialogs()[0].text.find(sjis("サウンドリクエストバッファが満杯になりました。")), std::string::npos);
  EXPECT_EQ(reports(), 2u);
  EXPECT_EQ(last_code(), 101140u);
  // A report that does not stop leaves a stopping engine stopped.
  report_ex(e(), 105210, {.stop = false, .framed = false});
  EXPECT_TRUE(e().stop.load());
  EXPECT_EQ(t.dialogs().size(), 1u);
}

TEST_F(Reports, TextSources) {
  // Built-in texts win over the table.
  Bytes f = header("NVER", 2);
  f.u32(104060).cstr("table text").u32(123456).cstr("code %d from the table");
  ASSERT_EQ(parse_error_table(e(), f.b), 0);
  report(e(), 104060, {"x.png"});
  EXPECT_EQ(last_text(), sjis("[x.png]ファイルが\n存在しません。"));
  report(e(), 123456, {7});
  EXPECT_EQ(last_text(), "code 7 from the table");
  report(e(), 424242);
  EXPECT_EQ(last_text(), sjis("[内部エラー]\n\nエラー文字列の指定ミスです。\nシステム開発者までお問い合わせください。"));
  // The data error has its text even before a table is there.
  TestEngine bare;
  report(*bare.e, 900000);
  EXPECT_EQ(bare.e->errors.last_text, sjis("[内部エラー]\n\nデータエラーです。"));
}

TEST_F(Reports, TheCursorIsShownBeforeTheDialog) {
  e().cursor_visible.store(false);
  report(e(), 900050);
  EXPECT_TRUE(e().cursor_visible.load());
}

TEST(ReportDialog, HeadlessRunsWriteCaptionAndTextToStandardErrorAsUtf8) {
  TempDir dir;
  std::ostringstream err;
  platform::HeadlessOptions o;
  o.title_dir = dir.str();
  o.err = &err;
  platform::Platform host = platform::make_headless_platform(o);
  Engine e(host);
  report(e, 104060, {"nvbin\\nvc.nbn"});
  EXPECT_EQ(err.str(), "[Nivalo Debug Info.] [nvbin\\nvc.nbn]ファイルが\n存在しません。\n");
}

std::string read_file(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(InfoLog, TheHeaderIsWrittenOncePerProcess) {
  platform::LocalTime start;
  start.year = 2024;
  start.month = 6;
  start.day = 2;
  start.hour = 9;
  start.minute = 5;
  start.second = 7;
  TestEngine t(start);
  log_info(*t.e, "", sjis("一行目"));
  log_info(*t.e, "IGNORED", "not written");
  log_info(*t.e, "ERR", "%s (%d, %d)", {"name", 3, 4});
  log_info(*t.e, "ACT", "third");
  const std::string dashes = "//----------------------------------------------------------------------------\n";
  EXPECT_EQ(read_file(t.dir.path() / "info.txt"),
            dashes + sjis("//■24/06/02 time=09:05:07\n") + dashes + sjis("一行目\n") + "name (3, 4)\nthird\n");
  // Another engine is another process: it writes its own header.
  Engine second(t.host);
  log_info(second, "", "again");
  std::string all = read_file(t.dir.path() / "info.txt");
  EXPECT_EQ(all.size(), (dashes.size() * 4) + 2 * sjis("//■24/06/02 time=09:05:07\n").size() +
                            sjis("一行目\n").size() + 12 + 6 + 6);
}

TEST(SystemBox, TextIsCutAtACharacterBoundaryToTheBuffer) {
  TestEngine t;
  std::string text = "ab" + std::string(2000, '\x82');  // 0x82 lead bytes pair up
  show_system_box(*t.e, sjis("エラー"), "%s", {text});
  ASSERT_EQ(t.dialogs().size(), 1u);
  EXPECT_EQ(t.dialogs()[0].text.size(), 1022u);  // "ab" and 510 whole characters, not 1023
  EXPECT_FALSE(t.dialogs()[0].is_error);
}

}  // namespace
}  // namespace nv::test
