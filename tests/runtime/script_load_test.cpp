#include <algorithm>
#include <filesystem>

#include "formats/checksums.h"
#include "tests/support/title_test.h"
#include "values/variables.h"

namespace nv::test {
namespace {

using ScriptLoad = TitleTest;

w::Expr var_expr(uint32_t n) { return w::Expr().scalar(n); }

TEST_F(ScriptLoad, AScriptLoadsOnceAndIsDescrambled) {
  w::ScriptModel& s = m.add_script("main.txt");
  s.code.instruction(cmd::VAR, 3);
  s.code.arg(kw::VAR::LET, w::Expr::integer(5), w::selector::kInt);
  s.code.arg(kw::VAR::SET, w::Expr::integer(6), w::selector::kInt);
  s.code.instruction(cmd::LABEL, 4);
  m.variables.push_back(variable(w::kScopeScript, 0, 1000, w::vartype::kInt, 5));
  ASSERT_EQ(load(), 0);
  ASSERT_EQ(ensure_script_loaded(e(), 0), 0);
  const ScriptImage& img = e().scripts.images[0];
  ASSERT_TRUE(img.valid);
  ASSERT_EQ(img.count, 2u);
  EXPECT_EQ(img.command_of(0), cmd::VAR);
  EXPECT_EQ(img.arg_count_of(0), 2);
  EXPECT_EQ(img.record(0, 1).keyword(), kw::VAR::SET);
  EXPECT_EQ(img.arg_start[1], img.arg_start[0] + 24);
  EXPECT_EQ(img.line_of(1), 4);
  // The script's own variables are created with it.
  EXPECT_EQ(read_int(e().vars.vars[1000], 0), 5);
  write_int(e().vars.vars[1000], 0, 9);

  // The second request neither reads the file nor resets the variables.
  std::filesystem::remove(t.dir.path() / "nvbin" / "nvt00000.nbn");
  EXPECT_EQ(ensure_script_loaded(e(), 0), 0);
  EXPECT_EQ(reports(), 0u);
  EXPECT_TRUE(e().scripts.images[0].valid);
  EXPECT_EQ(read_int(e().vars.vars[1000], 0), 9);
}

TEST_F(ScriptLoad, AMissingScriptIsReportedOnceAndStaysEmpty) {
  m.add_script("main.txt");
  m.add_script("gone.txt");
  ASSERT_EQ(load(), 0);
  std::filesystem::remove(t.dir.path() / "nvbin" / "nvt00001.nbn");
  EXPECT_EQ(ensure_script_loaded(e(), 1), 0);
  EXPECT_EQ(last_code(), 104060u);
  EXPECT_TRUE(e().stop.load());
  EXPECT_FALSE(e().scripts.images[1].valid);
  Task task;
  EXPECT_EQ(start_task_at(e(), task, 1), -1);
  EXPECT_EQ(reports(), 1u);
  EXPECT_EQ(ensure_script_loaded(e(), 7), -1);  // no such script number
  EXPECT_EQ(last_code(), 900000u);
}

TEST_F(ScriptLoad, ConstantJumpTargetsAreResolvedAtLoad) {
  // Three labels; the one that sorts last by hash has a non-zero index.
  std::vector<std::string> names{"MAIN", "LOOP_TOP", "FINISH"};
  std::sort(names.begin(), names.end(), [](auto& a, auto& b) { return crc32_of(a) < crc32_of(b); });
  const std::string last = names[2];
  w::ScriptModel& s = m.add_script("main.txt");
  s.code.instruction(cmd::LABEL, 1);
  s.code.instruction(cmd::GO, 2);  // 1: constant, exists
  s.code.arg(kw::GO::TARGET, w::Expr::text(last), w::selector::kString);
  s.code.instruction(cmd::GO, 3);  // 2: reads a variable
  s.code.arg(kw::GO::TARGET, var_expr(1000), w::selector::kString);
  s.code.instruction(cmd::GO, 4);  // 3: constant, no such label
  s.code.arg(kw::GO::TARGET, w::Expr::text("NOWHERE"), w::selector::kString);
  s.code.instruction(cmd::GOSUB, 5);  // 4: constant target and a parameter
  s.code.arg(kw::GOSUB::TARGET, w::Expr::text(last), w::selector::kString);
  s.code.arg(kw::GOSUB::PINT, w::Expr::integer(1), w::selector::kInt);
  s.code.instruction(cmd::GOSUB, 6);  // 5: computed target
  s.code.arg(kw::GOSUB::TARGET, w::Expr::text("MA").append(w::Expr().scalar(1001)).op(expr::kAdd),
             w::selector::kString);
  for (const std::string& n : names) m.labels.push_back({n, 0, 0});
  m.variables.push_back(variable(w::kScopeGlobal, 0, 1000, w::vartype::kString));
  m.variables.push_back(variable(w::kScopeGlobal, 0, 1001, w::vartype::kString));
  ASSERT_EQ(load(), 0);
  ASSERT_EQ(ensure_script_loaded(e(), 0), 0);
  EXPECT_EQ(reports(), 0u);
  const ScriptImage& img = e().scripts.images[0];
  int32_t idx = find_label(e().scripts.labels, last);
  ASSERT_GT(idx, 0);
  EXPECT_EQ(img.record(1, 0).size(), 0x10000000u + static_cast<uint32_t>(idx));
  EXPECT_LT(img.record(2, 0).size(), 0x10000000u);
  EXPECT_LT(img.record(3, 0).size(), 0x10000000u);
  EXPECT_EQ(img.record(4, 0).label_field(), idx);
  EXPECT_EQ(img.record(4, 1).label_field(), w::selector::kInt);  // not a target: untouched
  EXPECT_EQ(img.record(5, 0).label_field(), 0);
  // The evaluator is back in normal mode.
  EXPECT_FALSE(e().eval.constant_only);
}

// A title whose script 0 is replaced by raw bytes.
class DamagedScript : public TitleTest {
 protected:
  void load_with(const std::string& script, std::vector<w::LabelModel> labels = {}) {
    m.add_script("main.txt").code.instruction(cmd::LABEL, 1);
    ASSERT_EQ(load(), 0);
    write_file("nvt00000.nbn", script);
    if (!labels.empty()) {
      write_file("nvl.nbn", w::encode_label_table(labels));
      ASSERT_EQ(load_label_table(e()), 0);
    }
    EXPECT_EQ(ensure_script_loaded(e(), 0), 0);
  }
  void expect_refused() {
    EXPECT_EQ(last_code(), 900000u);
    EXPECT_TRUE(e().stop.load());
    EXPECT_FALSE(e().scripts.images[0].valid);
    EXPECT_EQ(e().scripts.images[0].count, 0u);
  }
  static Instr go_with(int64_t size) {
    Arg a{0, Expr().s("X")};
    a.size_override = size;
    return {cmd::GO, {a}};
  }
};

TEST_F(DamagedScript, CommandNumbersOutsideTheHandlerTable) {
  load_with(script_file({{cmd::LABEL, {}}, {100, {}}}));
  expect_refused();
}

TEST_F(DamagedScript, TooManyArgumentsOrKeywordIndexes) {
  Instr many{cmd::VAR, std::vector<Arg>(96, Arg{0, Expr().i(1)})};
  load_with(script_file({many}));
  expect_refused();
}

TEST_F(DamagedScript, KeywordIndexesFromNinetySix) {
  load_with(script_file({{cmd::VAR, {Arg{96, Expr().i(1)}}}}));
  expect_refused();
}

TEST_F(DamagedScript, JumpTargetsOutsideTheScript) {
  Arg cond{0, Expr().i(1)};
  Arg else_target{0, Expr()};
  else_target.size_override = 0;
  Arg end_target{0, Expr()};
  end_target.size_override = 3;  // the script has 2 instructions
  load_with(script_file({{cmd::IF, {cond, else_target, end_target}}, {cmd::IFEND, {}}}));
  expect_refused();
}

TEST_F(DamagedScript, JumpInstructionsWithoutTheirTargetRecords) {
  load_with(script_file({{cmd::LOOP, {Arg{0, Expr().i(1)}}}, {cmd::LOOPEND, {}}}));
  expect_refused();
}

TEST_F(DamagedScript, ALabelBeyondItsScript) {
  load_with(script_file({{cmd::LABEL, {}}}), {{"FAR", 0, 5}});
  expect_refused();
}

TEST_F(DamagedScript, APreResolvedTargetNamingNoLabel) {
  load_with(script_file({go_with(0x10000005)}), {{"ONLY", 0, 0}});
  expect_refused();
}

TEST_F(DamagedScript, AreaSizesBeyondTheFile) {
  std::string f = script_file({{cmd::LABEL, {}}});
  f[20] = '\x7F';  // resource area size
  load_with(f);
  expect_refused();
}

TEST_F(DamagedScript, ATruncatedHeader) {
  std::string f = script_file({{cmd::LABEL, {}}});
  f.resize(20);
  load_with(f);
  expect_refused();
}

TEST_F(DamagedScript, ExpressionsOutsideTheResourceAreaFailWhenEvaluated) {
  Arg far{kw::VAR::SET, Expr().i(1)};
  far.size_override = 5000;
  load_with(script_file({{cmd::VAR, {far}}}));
  ASSERT_TRUE(e().scripts.images[0].valid);
  Task task;
  EXPECT_EQ(run(task), -1);
  EXPECT_EQ(last_code(), 900000u);
}

}  // namespace
}  // namespace nv::test
