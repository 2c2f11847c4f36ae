// Title-level tests of IF, LOOP, GO, GOSUB, RETURN and their limits.
#include <gtest/gtest.h>

#include <string>

#include "display/windows_state.h"
#include "formats/command_table.h"
#include "host/frame.h"
#include "host/startup.h"
#include "platform/headless/platform_headless.h"
#include "tests/support/temp_dir.h"
#include "tests/support/title_run.h"
#include "tools/writers/title_writer.h"

namespace nv {
namespace {

using test::TitleRun;

std::string nested_ifs(int depth) {
  std::string s = "G_INT reached = 0\n";
  for (int i = 0; i < depth; ++i) s += "IF 1\n";
  s += "reached = 1\n";
  for (int i = 0; i < depth; ++i) s += "IFEND\n";
  return s;
}

TEST(ControlIf, SixtyThreeLevelsWorkAndTheSixtyFourthStops) {
  TitleRun ok(nested_ifs(63));
  ASSERT_TRUE(ok.ok()) << ok.messages();
  ok.run(2);
  EXPECT_EQ(ok.first_error(), "");
  EXPECT_EQ(ok.int_var("reached"), 1);
  EXPECT_TRUE(ok.stopped());  // by the END after the last line

  // The compiler refuses a 64th level in one script; a subroutine entered
  // 63 levels deep keeps that depth and reaches it.
  std::string src = "G_INT reached = 0\n";
  for (int i = 0; i < 63; ++i) src += "IF 1\n";
  src += "GOSUB[#=*sub]\n";
  for (int i = 0; i < 63; ++i) src += "IFEND\n";
  src += "*sub\nIF 1\n  reached = 1\nIFEND\nRETURN\n";
  TitleRun deep(src);
  ASSERT_TRUE(deep.ok()) << deep.messages();
  deep.run(2);
  EXPECT_NE(deep.first_error().find("IF ネスト最大数 64 に達してしまいました"), std::string::npos) << deep.first_error();
  EXPECT_EQ(deep.int_var("reached"), 0);
}

TEST(ControlIf, ElseIfChainsPickOneBranch) {
  TitleRun r(R"(
G_INT picked[5]
INT i = 0
LOOP[SET=5]
  i += 1
  IF i == 1
    picked[0] = 10
  ELSEIF i == 2
    picked[1] = 20
  ELSEIF i == 3
    picked[2] = 30
  ELSE
    picked[i - 1] = 99
  IFEND
LOOPEND
)");
  ASSERT_TRUE(r.ok()) << r.messages();
  r.run(2);
  EXPECT_EQ(r.first_error(), "");
  EXPECT_EQ(r.int_var("picked", 0), 10);
  EXPECT_EQ(r.int_var("picked", 1), 20);
  EXPECT_EQ(r.int_var("picked", 2), 30);
  EXPECT_EQ(r.int_var("picked", 3), 99);
  EXPECT_EQ(r.int_var("picked", 4), 99);
}

TEST(ControlIf, ConditionsOfEveryKindChooseTheSameBranches) {
  // Conditions the engine decodes (constants, variables, elements with
  // operators) beside ones it leaves to the general evaluator (floats,
  // texts, calls of the comparison on texts), in IF and ELSEIF, over rounds
  // in which the chosen branch changes.
  TitleRun r(R"(
G_INT trace[8]
INT i = 0, a[3] = 0
FLT f = 0.0
STR s = ""
LOOP[SET=8]
  a[i % 3] += i
  f += 0.75
  IF i % 4 == 3
    trace[i] = 1
  ELSEIF a[i % 3] > 4
    trace[i] = 2
  ELSEIF f > 2.5
    trace[i] = 3
  ELSEIF s == "xx"
    trace[i] = 4
  ELSE
    trace[i] = 5
  IFEND
  s += "x"
  i += 1
LOOPEND
)");
  ASSERT_TRUE(r.ok()) << r.messages();
  r.run(2);
  EXPECT_EQ(r.first_error(), "");
  // i: a[i%3] after the add, f after the add, s before the append
  // 0: 0, 0.75, ""     -> 5     1: 1, 1.5, "x"   -> 5     2: 2, 2.25, "xx" -> 4
  // 3: 3 (i%4 == 3)    -> 1     4: 5, 3.75       -> 2     5: 7             -> 2
  // 6: 9               -> 2     7: 12 (i%4 == 3) -> 1
  const int64_t want[8] = {5, 5, 4, 1, 2, 2, 2, 1};
  for (int k = 0; k < 8; ++k) EXPECT_EQ(r.int_var("trace", k), want[k]) << k;

  // A decoded condition whose index leaves its array is reported.
  TitleRun out(R"(
G_INT b[2], k = 0, rounds = 0
LOOP[SET=3]
  IF b[k] == 0
    rounds += 1
  IFEND
  k += 1
LOOPEND
)");
  ASSERT_TRUE(out.ok()) << out.messages();
  out.run(2);
  EXPECT_NE(out.first_error(), "");
  EXPECT_EQ(out.int_var("rounds"), 2);
}

TEST(ControlIf, APausedEngineHoldsDecodedInstructionsToo) {
  // Each turn begins at the decoded LET after the WAIT.
  TitleRun r("G_INT n = 0\nLOOP[SET=-1]\n  WAIT[FRAME=1]\n  n += 1\n  IF n > 0\n    n += 1\n  IFEND\nLOOPEND\n");
  ASSERT_TRUE(r.ok()) << r.messages();
  r.run(3);
  ASSERT_EQ(r.first_error(), "");
  const int64_t before = r.int_var("n");
  ASSERT_GT(before, 0);
  // Window inactive, no background execution, and the message loop has
  // ended: the held task runs nothing more.
  r.engine().windows.at(0).active = false;
  PauseState& p = r.engine().dispatch.pause;
  p.background_exec = false;
  p.pump_messages = [](Engine&) { return false; };
  r.run(3);
  EXPECT_EQ(r.int_var("n"), before);
}

TEST(ControlIf, BreakAndContinueByLevels) {
  TitleRun r(R"(
G_INT after_inner = 0, after_outer = 0, rounds = 0, zero_lv = 0
IF 1
  IF 1
    IFBREAK[LV=2]
    after_inner = 1
  IFEND
  after_outer = 1
IFEND
IF rounds < 3
  rounds += 1
  IF 1
    IFCONTINUE[LV=2]
  IFEND
IFEND
IF 1
  IFBREAK[LV=0]
  zero_lv = 1
IFEND
)");
  ASSERT_TRUE(r.ok()) << r.messages();
  r.run(2);
  EXPECT_EQ(r.first_error(), "");
  EXPECT_EQ(r.int_var("after_inner"), 0);
  EXPECT_EQ(r.int_var("after_outer"), 0);
  EXPECT_EQ(r.int_var("rounds"), 3);
  EXPECT_EQ(r.int_var("zero_lv"), 1);

  TitleRun over("INT lv = 2\nIF 1\n  IFBREAK[LV=lv]\nIFEND\n");  // computed: the compiler checks constants
  ASSERT_TRUE(over.ok()) << over.messages();
  over.run(2);
  EXPECT_NE(over.first_error().find("IFBREAK[] に対応する IF[] が見つかりません"), std::string::npos) << over.first_error();
}

TEST(ControlLoop, CountsLimitsAndBreaks) {
  TitleRun r(R"(
G_INT three = 0, none = 0, endless = 0, once = 0, outer = 0, cont = 0
LOOP[SET=3]
  three += 1
LOOPEND
LOOP[SET=0]
  none += 1
LOOPEND
LOOP[SET=-1]
  endless += 1
  IF endless == 1000
    LOOPBREAK
  IFEND
LOOPEND
LOOP[SET=-5]
  once += 1
LOOPEND
LOOP[SET=4]
  outer += 1
  LOOP[SET=10]
    LOOPBREAK[LV=2]
  LOOPEND
LOOPEND
LOOP[SET=4]
  LOOPCONTINUE
  cont += 1
LOOPEND
LOOP[SET=2]
  LOOPBREAK[LV=0]
  cont += 10
LOOPEND
)");
  ASSERT_TRUE(r.ok()) << r.messages();
  r.run(2);
  EXPECT_EQ(r.first_error(), "");
  EXPECT_EQ(r.int_var("three"), 3);
  EXPECT_EQ(r.int_var("none"), 0);
  EXPECT_EQ(r.int_var("endless"), 1000);
  EXPECT_EQ(r.int_var("once"), 1);
  EXPECT_EQ(r.int_var("outer"), 1);
  EXPECT_EQ(r.int_var("cont"), 20);

  TitleRun over("INT lv = 2\nLOOP[SET=2]\n  LOOPBREAK[LV=lv]\nLOOPEND\n");
  ASSERT_TRUE(over.ok()) << over.messages();
  over.run(2);
  EXPECT_NE(over.first_error().find("LOOPBREAK[] に対応する LOOP[] が見つかりません"), std::string::npos)
      << over.first_error();
}

TEST(ControlCalls, ParametersReturnValuesAndTaskEnd) {
  TitleRun r(R"(
G_INT p1 = 0, p2 = 0, got = 0, sum = 0, ended = 0
G_STR text = ""
G_FLT f = 0.0
GOSUB[#=*add PINT=2 PINT2=3 PSTR3="abc" PFLT4=1.5]
got = RINT[1]
text = RSTR[2]
f = RFLT[3]
TASK[ID="short" #=*short Z=1]
WAIT[FRAME=2]
TASKINFO[ID="short" LET=ended EXIST=1]
WAIT[FRAME=1000]
*add
sum = PINT[1] + PINT[2]
RETURN[RINT=sum RSTR2=PSTR[3] RFLT3=PFLT[4] * 2.0]
*short
RETURN
)");
  ASSERT_TRUE(r.ok()) << r.messages();
  r.run(4);
  EXPECT_EQ(r.first_error(), "");
  EXPECT_EQ(r.int_var("sum"), 5);
  EXPECT_EQ(r.int_var("got"), 5);
  EXPECT_EQ(r.text_var("text"), "abc");
  EXPECT_DOUBLE_EQ(r.float_var("f"), 3.0);
  EXPECT_EQ(r.int_var("ended"), 0);  // RETURN at depth 0 ended it silently

  TitleRun sys("RETURN\n");
  sys.run(2);
  EXPECT_NE(sys.first_error().find("RETURN[] に対応する GOSUB[] が見つかりません"), std::string::npos) << sys.first_error();
}

TEST(ControlCalls, GoIntoALoopOfASubroutineAddsTheSubroutineBase) {
  TitleRun r(R"(
G_INT loops = 0, ifs = 0, runs = 0
LOOP[SET=1]
  GOSUB[#=*sub]
LOOPEND
WAIT[FRAME=1000]
*sub
GO[#=*inside]
LOOP[SET=2]
  IF 1
*inside
    runs += 1
    TASKINFO[LET=loops LOOPNEST=1]
    TASKINFO[LET=ifs IFNEST=1]
  IFEND
LOOPEND
RETURN
)");
  ASSERT_TRUE(r.ok()) << r.messages();
  r.run(2);
  EXPECT_EQ(r.first_error(), "");
  // Entered at loop depth 1; the label stands one loop and one IF deep.
  EXPECT_EQ(r.int_var("loops"), 2);
  EXPECT_EQ(r.int_var("ifs"), 1);
}

TEST(ControlCalls, UnknownGoTargetNamesTheLabel) {
  TitleRun r("STR where = \"nowhere\"\nGO[#=where]\n");
  ASSERT_TRUE(r.ok()) << r.messages();
  r.run(2);
  EXPECT_NE(r.first_error().find("ラベル nowhere が\n見つかりませんでした。"), std::string::npos) << r.first_error();
}

// GOSUB takes parameters by position. The compiler fills gaps, so this
// title is written with the writers: GOSUB with "#" and PINT2 only.
TEST(ControlCalls, GosubParametersAreTakenByPosition) {
  test::TempDir dir;
  writers::TitleModel t;
  t.config.width = 640;
  t.config.height = 480;
  writers::ScriptModel& s = t.add_script("main.txt");
  s.code.instruction(cmd::GOSUB, 1);
  s.code.arg_text(kw::GOSUB::TARGET, "SUB");
  s.code.arg_int(kw::GOSUB::PINT, 7);
  s.code.arg_int(kw::GOSUB::PINT2, 8);
  s.code.instruction(cmd::GOSUB, 2);
  s.code.arg_text(kw::GOSUB::TARGET, "SUB");
  s.code.arg_int(kw::GOSUB::PINT2, 9);
  s.code.instruction(cmd::WAIT, 3);
  s.code.arg_int(kw::WAIT::FRAME, 1000);
  uint32_t sub = s.code.instruction(cmd::WAIT, 4);
  s.code.arg_int(kw::WAIT::FRAME, 1000);
  t.labels.push_back({"SYSTEM_START", 0, 0});
  t.labels.push_back({"SUB", 0, static_cast<int32_t>(sub)});
  writers::write_title(dir.path(), t);

  platform::Platform host = platform::make_headless_platform({.title_dir = dir.str()});
  Engine e(host);
  ASSERT_TRUE(start_engine(e, "/nonexistent/nivalo").ok);
  frame_step(e);
  const Task& sys = e.tasks.system->task;
  ASSERT_EQ(sys.gosub_depth, 1);
  EXPECT_EQ(sys.params[1].ints[1], 7);
  EXPECT_EQ(sys.params[1].ints[2], 8);
  // Release the first call and make the second.
  e.tasks.system->task.wait_frames = 0;
  e.tasks.system->task.gosub_depth = 0;
  e.tasks.system->task.pc = 1;
  frame_step(e);
  EXPECT_EQ(sys.gosub_depth, 1);
  EXPECT_EQ(sys.params[1].ints[1], 7);  // parameter 1 is not looked at with two arguments
  EXPECT_EQ(sys.params[1].ints[2], 0);  // 2 to 10 are cleared
  EXPECT_FALSE(e.stop.load());
}

TEST(ControlEnd, EndStopsAndKeepsTheRestartRequest) {
  TitleRun r("G_INT after = 0\nEND[RESTART=1]\nafter = 1\n");
  r.run(3);
  EXPECT_TRUE(r.stopped());
  EXPECT_EQ(r.int_var("after"), 0);
  EXPECT_EQ(r.engine().tasks.restart_request, 1);
  EXPECT_EQ(r.frames_run(), 1);
}

TEST(ControlText, ReturnCodeEndsTheTurnUntilTheTextIsOut) {
  test::TempDir dir;
  writers::TitleModel t;
  t.config.width = 640;
  t.config.height = 480;
  writers::ScriptModel& s = t.add_script("main.txt");
  s.code.instruction(cmd::RETURNCODE, 1);
  s.code.record(writers::ArgRecord::from_words(7, 3, 0));
  s.code.instruction(cmd::WAIT, 2);
  s.code.arg_int(kw::WAIT::FRAME, 1000);
  t.labels.push_back({"SYSTEM_START", 0, 0});
  writers::write_title(dir.path(), t);

  platform::Platform host = platform::make_headless_platform({.title_dir = dir.str()});
  Engine e(host);
  ASSERT_TRUE(start_engine(e, "/nonexistent/nivalo").ok);
  const Task& sys = e.tasks.system->task;
  frame_step(e);
  EXPECT_EQ(sys.text_line, 7);
  EXPECT_EQ(sys.next_voice, 3);
  EXPECT_TRUE(sys.text_busy);
  EXPECT_EQ(sys.pc, 1);  // nothing after RETURNCODE ran
  frame_step(e);
  EXPECT_FALSE(sys.text_busy);
  EXPECT_EQ(sys.pc, 2);
  EXPECT_EQ(sys.wait_frames, 1000);
}

}  // namespace
}  // namespace nv
