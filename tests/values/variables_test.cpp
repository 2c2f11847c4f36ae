#include "tests/values/eval_fixture.h"
#include "tools/writers/variable_table_writer.h"
#include "values/system_vars.h"
#include "values/variable_file.h"

namespace nv::test {
namespace {

using Variables = EvalTest;

TEST_F(Variables, ElementLimitIsFourMillion) {
  std::vector<int32_t> ok{2000, 2000};
  EXPECT_EQ(create_integer(e(), 1000, ok, 7), 0);
  EXPECT_EQ(e().vars.vars[1000].count, 4000000);
  EXPECT_EQ(read_int(e().vars.vars[1000], 3999999), 7);
  EXPECT_EQ(reports(), 0u);

  std::vector<int32_t> big{2001, 2000};
  EXPECT_EQ(create_integer(e(), 1001, big, 0), -1);
  EXPECT_EQ(last_code(), 101100u);
  EXPECT_EQ(e().errors.last_text, sjis("配列サイズが 4000000 Byte を超えています。"));
  EXPECT_EQ(e().vars.vars[1001].type, kVarNone);  // nothing changed

  // Shapes whose product would overflow 64 bits are still refused, not wrapped.
  std::vector<int32_t> huge{65536, 65536, 65536, 65536, 65536};
  EXPECT_EQ(create_float(e(), 1001, huge, 0), -1);
  EXPECT_EQ(last_code(), 101100u);
}

TEST_F(Variables, ZeroOrNegativeSizesAreInvalid) {
  std::vector<int32_t> zero{4, 0};
  EXPECT_EQ(create_integer(e(), 1000, zero, 0), -1);
  EXPECT_EQ(last_code(), 101110u);
  std::vector<int32_t> negative{-3};
  EXPECT_EQ(create_string(e(), 1000, negative, ""), -1);
  EXPECT_EQ(reports(), 2u);
  EXPECT_EQ(create_integer(e(), 5000, {}, 0), -1);
  EXPECT_EQ(last_code(), 900070u);
}

TEST_F(Variables, RedeclaringReplacesTheStorage) {
  std::vector<int32_t> dims{3};
  create_integer(e(), 1000, dims, 5);
  create_string(e(), 1000, {}, "s");
  const Variable& v = e().vars.vars[1000];
  EXPECT_EQ(v.type, kVarString);
  EXPECT_EQ(v.count, 1);
  EXPECT_TRUE(v.ints.empty());
  EXPECT_EQ(read_text(v, 0), "s");
}

TEST_F(Variables, TextElementsGrowAndNeverShrink) {
  std::vector<int32_t> dims{2};
  create_string(e(), 1000, dims, "abc");
  Variable& v = e().vars.vars[1000];
  EXPECT_EQ(v.texts[0].capacity, 4u);
  EXPECT_EQ(write_text(e(), v, 0, "0123456789"), 0);
  EXPECT_EQ(v.texts[0].capacity, 11u);
  EXPECT_EQ(read_text(v, 0), "0123456789");
  write_text(e(), v, 0, "xyz");
  EXPECT_EQ(v.texts[0].capacity, 11u);
  EXPECT_EQ(read_text(v, 0), "xyz");
  EXPECT_EQ(read_text(v, 1), "abc");
  // Capacities are wide: a text longer than 65535 bytes is kept whole.
  std::string long_text(70000, 'q');
  write_text(e(), v, 1, long_text);
  EXPECT_EQ(v.texts[1].capacity, 70001u);
  EXPECT_EQ(read_text(v, 1).size(), 70000u);
}

TEST_F(Variables, AppendingGrowsLikeAStoreOfTheJoinedText) {
  std::vector<int32_t> dims{2};
  create_string(e(), 1000, dims, "ab");
  Variable& v = e().vars.vars[1000];
  append_text(v.texts[0], "cde");
  EXPECT_EQ(read_text(v, 0), "abcde");
  EXPECT_EQ(v.texts[0].capacity, 6u);
  // With room left the text is extended in place and the capacity kept.
  write_text(e(), v, 0, "a");
  append_text(v.texts[0], "bcd");
  EXPECT_EQ(read_text(v, 0), "abcd");
  EXPECT_EQ(v.texts[0].capacity, 6u);
  append_text(v.texts[0], "e");
  EXPECT_EQ(read_text(v, 0), "abcde");
  EXPECT_EQ(v.texts[0].capacity, 6u);
  EXPECT_EQ(v.texts[0].buf[5], '\0');
  append_text(v.texts[0], "");
  EXPECT_EQ(read_text(v, 0), "abcde");
  // A cell that never held a text.
  TextCell fresh;
  append_text(fresh, "xy");
  EXPECT_EQ(fresh.view(), "xy");
  EXPECT_EQ(fresh.capacity, 3u);
}

TEST_F(Variables, AccessOutsideTheElementsIsDroppedSilently) {
  std::vector<int32_t> dims{3};
  create_integer(e(), 1000, dims, 1);
  Variable& v = e().vars.vars[1000];
  write_int(v, 3, 9);
  write_int(v, -1, 9);
  EXPECT_EQ(read_int(v, 3), 0);
  EXPECT_EQ(read_float(v, -1), 0.0);
  EXPECT_EQ(reports(), 0u);
  EXPECT_EQ(write_text(e(), v, 0, "no"), -1);
  EXPECT_EQ(last_code(), 101140u);
  write_float(v, 1, -2.9);
  EXPECT_EQ(read_int(v, 1), -2);
}

TEST_F(Variables, ResizingTheFirstDimensionKeepsLeadingRows) {
  std::vector<int32_t> dims{3, 2};
  create_integer(e(), 1000, dims, 0);
  Variable& v = e().vars.vars[1000];
  for (int k = 0; k < 6; ++k) write_int(v, k, k + 1);
  EXPECT_EQ(resize_first_dimension(e(), 1000, 4), 0);
  EXPECT_EQ(v.count, 8);
  EXPECT_EQ(v.dims[0], 4);
  EXPECT_EQ(read_int(v, 5), 6);
  EXPECT_EQ(read_int(v, 6), 0);
  EXPECT_EQ(resize_first_dimension(e(), 1000, 1), 0);
  EXPECT_EQ(v.count, 2);
  EXPECT_EQ(read_int(v, 1), 2);

  std::vector<int32_t> one{2};
  create_string(e(), 1001, one, "ab");
  EXPECT_EQ(resize_first_dimension(e(), 1001, 3), 0);
  EXPECT_EQ(read_text(e().vars.vars[1001], 2), "");
  EXPECT_EQ(e().vars.vars[1001].texts[2].capacity, 1u);
  EXPECT_EQ(resize_first_dimension(e(), 1001, 0), -1);
  EXPECT_EQ(last_code(), 101110u);
  EXPECT_EQ(e().vars.vars[1001].count, 3);
  EXPECT_EQ(resize_first_dimension(e(), 1001, 4000001), -1);
  EXPECT_EQ(last_code(), 101100u);
}

TEST_F(Variables, TheVariableFileCreatesGlobalsAtOnceAndScriptVariablesOnRequest) {
  std::vector<VarRecord> recs;
  recs.push_back({1, 0, 1000, 1, {3}, 42});
  recs.push_back({1, 0, 1001, 2, {}, 0, 1.25});
  recs.push_back({1, 0, 1002, 3, {2}, 0, 0, Expr().s("ab").s("c").op('+')});
  recs.push_back({2, 4, 1003, 1, {}, 9});
  recs.push_back({2, 5, 1004, 1, {}, 8});
  std::string f = variable_file(recs);
  ASSERT_EQ(install_variable_file(e(), std::vector<uint8_t>(f.begin(), f.end())), 0);
  EXPECT_EQ(read_int(e().vars.vars[1000], 2), 42);
  EXPECT_DOUBLE_EQ(read_float(e().vars.vars[1001], 0), 1.25);
  EXPECT_EQ(read_text(e().vars.vars[1002], 1), "abc");
  EXPECT_EQ(e().vars.vars[1003].type, kVarNone);
  EXPECT_EQ(apply_variable_records(e(), 4), 0);
  EXPECT_EQ(read_int(e().vars.vars[1003], 0), 9);
  EXPECT_EQ(e().vars.vars[1004].type, kVarNone);
}

TEST_F(Variables, DamagedVariableFilesAreRefused) {
  std::string f = variable_file({{1, 0, 1500, 1, {}, 1}});  // beyond the 1100 numbers
  EXPECT_EQ(install_variable_file(e(), std::vector<uint8_t>(f.begin(), f.end())), -1);
  EXPECT_EQ(last_code(), 900070u);
  std::string g = variable_file({{1, 0, 1000, 1, {4}, 1}});
  g.resize(g.size() - 3);  // cut inside the initial value
  EXPECT_EQ(install_variable_file(e(), std::vector<uint8_t>(g.begin(), g.end())), -1);
  EXPECT_EQ(last_code(), 900000u);
  std::string h = variable_file({{1, 0, 1000, 1, {1, 1, 1, 1, 1, 1, 1, 1, 1}, 1}});  // nine dimensions
  EXPECT_EQ(install_variable_file(e(), std::vector<uint8_t>(h.begin(), h.end())), -1);
  EXPECT_EQ(last_code(), 900000u);
}

// 2 June 2024 was a Sunday.
platform::LocalTime known_start() {
  platform::LocalTime t;
  t.year = 2024;
  t.month = 6;
  t.day = 2;
  t.weekday = 0;
  t.hour = 13;
  t.minute = 45;
  t.second = 30;
  t.millisecond = 250;
  return t;
}

class SystemVariables : public EvalTest {
 protected:
  SystemVariables() : EvalTest(known_start()) {
    // The system variables' types and shapes as the compiler writes them.
    nv::Bytes f = writers::encode_variable_table({});
    EXPECT_EQ(install_variable_file(e(), std::vector<uint8_t>(f.begin(), f.end())), 0);
  }
  int64_t time_field(int row, int col) { return ev_int(Expr().V(0).i(row).i(col).close()); }
};

TEST_F(SystemVariables, TimeRowsReadTheClockNowAndAtStart) {
  EXPECT_EQ(time_field(0, 0), 2024);
  EXPECT_EQ(time_field(0, 1), 6);
  EXPECT_EQ(time_field(0, 2), 2);
  EXPECT_EQ(time_field(0, 3), 0);  // Sunday
  EXPECT_EQ(time_field(0, 4), 13);
  EXPECT_EQ(time_field(0, 7), 250);
  e().platform.clock->sleep_ms(86400000);  // one day later
  EXPECT_EQ(time_field(0, 3), 1);
  EXPECT_EQ(time_field(0, 2), 3);
  EXPECT_EQ(time_field(1, 2), 2);  // the start row stays
  EXPECT_EQ(time_field(1, 6), 30);
}

TEST_F(SystemVariables, TimersCountFromStartAndFreezeWhileStopped) {
  e().platform.clock->sleep_ms(1500);
  EXPECT_EQ(ev_int(Expr().V(1).i(0).close()), 1500);
  EXPECT_EQ(ev_int(Expr().V(1).i(2).close()), 1500);
  ScriptTimer& t2 = e().sysvars.timers[1];
  t2.running = false;
  t2.stop_time = e().platform.clock->now_ms();
  e().platform.clock->sleep_ms(500);
  EXPECT_EQ(ev_int(Expr().V(1).i(2).close()), 1500);
  EXPECT_EQ(ev_int(Expr().V(1).i(1).close()), 2000);
}

TEST_F(SystemVariables, ConstantsAndHostFacts) {
  EXPECT_EQ(ev_int(Expr().H(60)), 404);
  EXPECT_DOUBLE_EQ(ev_float(Expr().H(10)), 3.141592653589793);
  EXPECT_EQ(ev_int(Expr().H(2)), 255);  // not a Windows host
  EXPECT_EQ(ev_int(Expr().H(5)), static_cast<int64_t>(e().platform.system->memory().total_physical));
  EXPECT_EQ(ev_int(Expr().H(200)), 0);  // owned by a subsystem not built here
  EXPECT_EQ(reports(), 0u);
}

TEST_F(SystemVariables, ByteTextsAndTheEmptyDropList) {
  EXPECT_EQ(ev_str(Expr().V(73).i(65).close()), "A");
  EXPECT_EQ(ev_str(Expr().V(73).i(0x82).close().V(73).i(0xA0).close().op('+')), "\x82\xA0");
  // The read went through the variable's own element.
  EXPECT_EQ(read_text(e().vars.vars[73], 65), "A");
  ev_str(Expr().V(14).i(0).close());
  EXPECT_EQ(last_code(), 107010u);
  e().sysvars.dropped = {"a.txt"};
  EXPECT_EQ(ev_str(Expr().V(14).i(0).close()), "a.txt");
}

}  // namespace
}  // namespace nv::test
