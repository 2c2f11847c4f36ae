#include "core/error_report.h"
#include "formats/checksums.h"
#include "runtime/error_table.h"
#include "tests/support/test_engine.h"
#include "tests/support/title_test.h"

namespace nv::test {
namespace {

using Tables = TitleTest;

TEST_F(Tables, AWrittenTitleLoadsInOrder) {
  m.add_script("main.txt");
  m.add_script("sub\\other.txt");
  m.variable_count = 1200;
  m.second_count = 7;
  ASSERT_EQ(load(), 0);
  EXPECT_EQ(reports(), 0u);
  const ScriptTables& s = e().scripts;
  ASSERT_EQ(s.commands.defs.size(), 99u);
  EXPECT_EQ(s.commands.defs[cmd::CG].name, "CG");
  EXPECT_EQ(s.commands.defs[cmd::WINDOW].keywords[kw::WINDOW::NO], "NO");
  EXPECT_EQ(s.commands.defs[cmd::WINDOW].checks[kw::WINDOW::NO], check::WINDOW_NO);
  EXPECT_EQ(s.commands.errno_texts[2], sjis(kErrnoTexts[2]));
  EXPECT_EQ(s.commands.key_table, builtin_key_table());
  EXPECT_EQ(e().vars.vars.size(), 1201u);
  EXPECT_EQ(s.index_second_count, 7u);
  ASSERT_EQ(s.script_names.size(), 2u);
  EXPECT_EQ(s.script_names[1], "sub\\other.txt");
  EXPECT_TRUE(e().errors.table.loaded);
  // Filled once the command table is there.
  EXPECT_EQ(e().dispatch.direct[cmd::MACRO], &default_handler);
  EXPECT_EQ(e().dispatch.direct[cmd::VAR], &evaluate_only_handler);
  EXPECT_EQ(e().dispatch.direct[cmd::LABEL], &nothing_handler);
  EXPECT_EQ(e().dispatch.paused[cmd::CG], &pause_wrapper);
}

TEST_F(Tables, AMissingFileIsReportedWithTheBuiltInText) {
  EXPECT_EQ(load_engine_tables(e()), -1);
  EXPECT_EQ(last_code(), 104060u);
  EXPECT_EQ(last_text(), sjis("[nvbin\\nve.nbn]ファイルが\n存在しません。"));
  EXPECT_TRUE(e().stop.load());
  ASSERT_EQ(t.dialogs().size(), 1u);
  EXPECT_EQ(t.dialogs()[0].caption, "Nivalo Debug Info.");
}

TEST_F(Tables, AScriptIndexOfAnotherVersionIsRefused) {
  m.add_script("main.txt");
  w::write_title(t.dir.path(), m);
  write_file("nvt.nbn", script_index_file(1100, 0, 403));
  EXPECT_EQ(load_engine_tables(e()), -1);
  EXPECT_EQ(last_code(), 105000u);
  EXPECT_EQ(last_text(), sjis("スクリプトバイナリ仕様が現在の仕様と一致しません。"));
}

TEST_F(Tables, AScriptListRecordBeyondTheListIsRefused) {
  m.add_script("main.txt");
  w::write_title(t.dir.path(), m);
  write_file("nvt_list.nbn", script_list_file({{0, "a.txt"}, {2, "b.txt"}}));
  EXPECT_EQ(load_engine_tables(e()), -1);
  EXPECT_EQ(last_code(), 901030u);
  EXPECT_EQ(last_text(), sjis("[内部エラー]\n\nメモリリーク発生しました。"));
}

TEST_F(Tables, DamagedTablesAreDataErrors) {
  m.add_script("main.txt");
  m.labels.push_back({"START", 0, 0});
  auto files = w::encode_title(m);
  for (const std::string name : {"nvc.nbn", "nvt_list.nbn", "nvl.nbn", "nve.nbn"}) {
    const nv::Bytes& full = files[name];
    for (size_t keep : {size_t(3), size_t(15), full.size() / 2, full.size() - 1}) {
      TestEngine fresh;
      for (auto& [n, b] : files) fresh.write("nvbin/" + n, std::string(b.begin(), b.end()));
      fresh.write("nvbin/" + name, std::string(full.begin(), full.begin() + static_cast<long>(keep)));
      EXPECT_EQ(load_engine_tables(*fresh.e), -1) << name << " cut to " << keep;
      EXPECT_EQ(fresh.e->errors.last_code, 900000u) << name << " cut to " << keep;
    }
  }
  // A count far larger than the file.
  nv::Bytes list = files["nvt_list.nbn"];
  list[8] = 0xFF;
  list[9] = 0xFF;
  list[10] = 0xFF;
  write_file("nvc.nbn", files["nvc.nbn"]);
  write_file("nve.nbn", files["nve.nbn"]);
  write_file("nvt.nbn", files["nvt.nbn"]);
  write_file("nvt_list.nbn", list);
  EXPECT_EQ(load_engine_tables(e()), -1);
  EXPECT_EQ(last_code(), 900000u);
}

TEST_F(Tables, ALabelOfAScriptOutsideTheListIsRefused) {
  m.add_script("main.txt");
  m.labels.push_back({"START", 0, 0});
  auto files = w::encode_title(m);
  for (auto& [n, b] : files) write_file(n, b);
  m.add_script("second.txt");
  m.labels.push_back({"ELSEWHERE", 1, 0});
  write_file("nvl.nbn", w::encode_label_table(m.labels));
  EXPECT_EQ(load_engine_tables(e()), -1);
  EXPECT_EQ(last_code(), 900000u);
}

TEST_F(Tables, ErrorTablesGrowBeyond256EntriesAndTheFirstEntryWins) {
  std::vector<std::pair<uint32_t, std::string>> entries;
  for (uint32_t k = 0; k < 300; ++k) entries.push_back({500000 + k, "entry " + std::to_string(k)});
  entries.push_back({500299, "a later duplicate"});
  Bytes f = header("NVER", static_cast<uint32_t>(entries.size()));
  for (auto& [code, text] : entries) f.u32(code).cstr(text);
  ASSERT_EQ(parse_error_table(e(), f.b), 0);
  EXPECT_EQ(report(e(), 500299, {}), -1);
  EXPECT_EQ(last_text(), "entry 299");
}

TEST_F(Tables, LabelLookup) {
  // Two names with the same CRC-32.
  ASSERT_EQ(crc32_of("plumless"), crc32_of("buckeroo"));
  m.add_script("main.txt").code.instruction(cmd::LABEL, 1);
  m.scripts[0].code.instruction(cmd::LABEL, 2);
  m.labels = {{"buckeroo", 0, 1}, {"plumless", 0, 0}, {"SYSTEM_START", 0, 0}, {"other", 0, 2}};
  ASSERT_EQ(load(), 0);
  const LabelTable& lt = e().scripts.labels;
  int32_t a = find_label(lt, "plumless");
  int32_t b = find_label(lt, "buckeroo");
  ASSERT_GE(a, 0);
  ASSERT_GE(b, 0);
  EXPECT_NE(a, b);
  EXPECT_EQ(lt.labels[static_cast<size_t>(a)].instruction, 0);
  EXPECT_EQ(lt.labels[static_cast<size_t>(b)].instruction, 1);
  EXPECT_EQ(lt.labels[static_cast<size_t>(find_label(lt, "SYSTEM_START"))].name, "SYSTEM_START");
  EXPECT_EQ(find_label(lt, "system_start"), -1);  // case-sensitive
  EXPECT_EQ(find_label(lt, "nowhere"), -1);
  EXPECT_EQ(find_label(lt, ""), -1);
}

TEST_F(Tables, LabelScanRunsToTheEndOfTheTable) {
  m.add_script("main.txt");
  m.labels = {{"alpha", 0, 0}, {"beta", 0, 0}, {"gamma", 0, 0}};
  ASSERT_EQ(load(), 0);
  // Every bucket pointing at the first label still finds all of them.
  LabelTable& lt = e().scripts.labels;
  lt.buckets.fill(0);
  for (const char* n : {"alpha", "beta", "gamma"}) EXPECT_GE(find_label(lt, n), 0) << n;
  // A bucket start beyond the table means no label.
  lt.buckets.fill(99);
  EXPECT_EQ(find_label(lt, "beta"), -1);
}

}  // namespace
}  // namespace nv::test
