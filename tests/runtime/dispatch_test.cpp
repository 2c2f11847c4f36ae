#include "runtime/fetch.h"
#include "tests/support/title_test.h"
#include "values/variables.h"

namespace nv::test {
namespace {

using Dispatch = TitleTest;

// Fetches and dispatches one instruction of `task`.
int step(Engine& e, Task& task) {
  e.dispatch.task = &task;
  int c = fetch(e, task);
  return c < 0 ? c : dispatch(e, c);
}

TEST_F(Dispatch, RunsUntilAHandlerEndsTheTurn) {
  w::ScriptModel& s = m.add_script("main.txt");
  s.code.instruction(cmd::CDDA, 1);
  s.code.arg(kw::CDDA::TRACK, w::Expr::integer(2), w::selector::kInt);
  s.code.instruction(cmd::LABEL, 2);
  s.code.instruction(cmd::MACRO, 3);  // never implemented
  s.code.instruction(cmd::LABEL, 4);
  ASSERT_EQ(load(), 0);
  Task task;
  EXPECT_EQ(run(task), -1);
  EXPECT_EQ(task.pc, 3);  // advanced past the failing instruction
  EXPECT_EQ(e().dispatch.instruction, 2);
  EXPECT_EQ(last_code(), 900050u);
  // The default handler's report has no script position.
  EXPECT_EQ(last_text(), sjis("[内部エラー]\n\nスクリプト実行エラーが発生しました。"));
  EXPECT_EQ(e().errors.last_error_script, "");
  EXPECT_EQ(e().errors.last_error_line, 1);
  EXPECT_TRUE(e().stop.load());
  // A stopped engine runs nothing more.
  EXPECT_EQ(run_task(e(), task), 1);
  EXPECT_EQ(task.pc, 3);
}

TEST_F(Dispatch, RunningOffTheEndOfAScriptIsADataError) {
  m.add_script("main.txt").code.instruction(cmd::LABEL, 1);
  ASSERT_EQ(load(), 0);
  Task task;
  EXPECT_EQ(run(task), -1);
  EXPECT_EQ(last_code(), 900000u);
}

TEST_F(Dispatch, ArgumentsFillTheSlotsAndTheKeywordMap) {
  w::ScriptModel& s = m.add_script("main.txt");
  s.code.instruction(cmd::PLUG, 1);
  s.code.arg(kw::PLUG::SET, w::Expr::integer(1), w::selector::kInt);
  s.code.arg(kw::PLUG::FILE, w::Expr::text("abc"), w::selector::kString);
  s.code.arg(kw::PLUG::SET, w::Expr::integer(2), w::selector::kInt, expr::kAssignAdd);
  s.code.arg(kw::PLUG::LET, w::Expr().element(1000).push_int(2).close(), w::selector::kInt);
  s.code.instruction(cmd::VAR, 2);
  w::VariableModel arr = variable(w::kScopeGlobal, 0, 1000, w::vartype::kInt, 4);
  arr.dims = {3};
  m.variables.push_back(arr);
  ASSERT_EQ(load(), 0);
  Task task;
  ASSERT_EQ(start_task_at(e(), task, 0), 0);
  ASSERT_EQ(step(e(), task), 0);
  const ArgSlots& a = e().args;
  // A keyword given twice maps to the later position.
  EXPECT_EQ(a.map[kw::PLUG::SET], 3);
  EXPECT_EQ(a.value(kw::PLUG::SET), 2);
  EXPECT_EQ(a.at(kw::PLUG::SET).assign_op, expr::kAssignAdd);
  EXPECT_EQ(a.at(kw::PLUG::FILE).text_view(), "abc");
  EXPECT_EQ(a.at(kw::PLUG::LET).value, 4);
  EXPECT_EQ(a.at(kw::PLUG::LET).var_number, 1000);
  EXPECT_EQ(a.at(kw::PLUG::LET).var_element, 2);
  EXPECT_FALSE(a.has(kw::PLUG::NAME));
  // An instruction without arguments clears the map; the slots keep their values.
  ASSERT_EQ(step(e(), task), 0);
  for (uint8_t pos : a.map) EXPECT_EQ(pos, 0);
  EXPECT_EQ(a.slot[3].value, 2);
  EXPECT_EQ(reports(), 0u);
}

TEST_F(Dispatch, ACheckFailureStopsBeforeTheLaterArguments) {
  w::ScriptModel& s = m.add_script("main.txt");
  s.code.instruction(cmd::CDDA, 7);
  s.code.arg(kw::CDDA::PLAY, w::Expr::integer(-1), w::selector::kInt);
  s.code.arg(kw::CDDA::LOOP, w::Expr::integer(55), w::selector::kInt);
  ASSERT_EQ(load(), 0);
  e().args.slot[2].value = 1234;
  Task task;
  EXPECT_EQ(run(task), -1);
  EXPECT_EQ(e().args.slot[2].value, 1234);
  EXPECT_EQ(last_code(), 101000u);
  EXPECT_EQ(last_text(), sjis("[対象ファイル]\nmain.txt\n\n[場所]\n7 行目\n\n[内容]\n\n"
                              "CDDA[PLAY=-1]\n\n設定できる値は 0 ～ 1 です。"));
  EXPECT_EQ(e().errors.last_error_script, "main.txt");
  EXPECT_EQ(e().errors.last_error_line, 7);
}

class CheckCodes : public TitleTest {
 protected:
  CheckCodes() {
    m.add_script("main.txt");
    EXPECT_EQ(load(), 0);
  }
  bool passes(uint8_t code, int64_t v) { return check_argument(e(), code, v, "WINDOW", "NO") == 0; }
};

TEST_F(CheckCodes, LowBitsAreComparedUnsignedForTheRanges) {
  EXPECT_FALSE(passes(3, -1));
  EXPECT_TRUE(passes(3, 1));
  EXPECT_FALSE(passes(3, 2));
  EXPECT_TRUE(passes(3, 0x100000001));  // low 32 bits are 1
  EXPECT_TRUE(passes(16, 128));
  EXPECT_FALSE(passes(16, 127));
  EXPECT_TRUE(passes(21, 8192));
  EXPECT_FALSE(passes(21, 8193));
  EXPECT_EQ(last_code(), 101000u);
  EXPECT_EQ(last_text(), sjis("WINDOW[NO=8193]\n\n設定できる値は 1 ～ 8192 です。"));
}

TEST_F(CheckCodes, MinimumCodesCompareTheWholeValue) {
  EXPECT_TRUE(passes(1, 0));
  EXPECT_FALSE(passes(1, -0x100000000));  // low 32 bits are 0, the value is negative
  EXPECT_EQ(last_code(), 101010u);
  EXPECT_FALSE(passes(2, 0));
  EXPECT_EQ(last_text(), sjis("WINDOW[NO=0]\n\n設定できる値は 1 以上 です。"));
  EXPECT_TRUE(passes(2, 0x7FFFFFFFFFFF));
}

TEST_F(CheckCodes, ColourCodes) {
  EXPECT_TRUE(passes(22, -1));
  EXPECT_TRUE(passes(22, 0xFFFFFF));
  EXPECT_FALSE(passes(22, -2));
  EXPECT_EQ(last_code(), 101020u);
  EXPECT_TRUE(passes(23, 0));
  EXPECT_FALSE(passes(23, -1));
  EXPECT_FALSE(passes(23, 0x1000000));
  EXPECT_EQ(last_code(), 101030u);
  EXPECT_EQ(last_text(), sjis("WINDOW[NO=16777216]\n\n設定できる値は 0 ～ 0xffffff(16777215) です。"));
}

TEST_F(CheckCodes, ScreenCodesUseTheConfiguredSize) {
  e().config.screen_width = 800;
  e().config.screen_height = 600;
  EXPECT_TRUE(passes(24, 799));
  EXPECT_FALSE(passes(24, 800));
  EXPECT_TRUE(passes(25, 599));
  EXPECT_FALSE(passes(25, 600));
  EXPECT_FALSE(passes(25, -1));
  // Without a configured size the desktop's applies (1920 by 1080 headless).
  e().config.screen_width = 0;
  e().config.screen_height = 0;
  EXPECT_TRUE(passes(24, 1919));
  EXPECT_FALSE(passes(24, 1920));
}

TEST_F(CheckCodes, WindowNumbers) {
  EXPECT_TRUE(passes(26, 3));
  EXPECT_FALSE(passes(26, 4));
  EXPECT_EQ(last_code(), 101210u);
  EXPECT_EQ(last_text(), sjis("WINDOW[NO=4]\n\n使用可能最大レイヤ数 3 を\n超えるレイヤが指定されました。"));
  EXPECT_FALSE(passes(26, -1));
  EXPECT_EQ(last_code(), 101220u);
  EXPECT_EQ(last_text(), sjis("WINDOW[NO=-1]\n\n0 未満のレイヤは指定出来ません。"));
}

// Delivers "window messages": the window comes back 30 ms after the clock's start.
bool reactivate_after_30ms(Engine& e) {
  if (e.platform.clock->now_ms() >= 30) e.dispatch.pause.main_window_active = true;
  return true;
}

bool message_loop_ended(Engine&) { return false; }

class Pause : public TitleTest {
 protected:
  Pause() {
    w::ScriptModel& s = m.add_script("main.txt");
    s.code.instruction(cmd::VAR, 1);
    s.code.arg(kw::VAR::SET, w::Expr::integer(77), w::selector::kInt);
    s.code.instruction(cmd::MACRO, 2);
    EXPECT_EQ(load(), 0);
    EXPECT_EQ(start_task_at(e(), task, 0), 0);
  }
  Task task;
};

TEST_F(Pause, AnInactiveWindowHoldsTheTaskAndResumesAtTheSameInstruction) {
  PauseState& p = e().dispatch.pause;
  p.main_window_active = false;
  p.background_exec = false;
  p.pump_messages = reactivate_after_30ms;
  e().args.slot[1].value = 0;
  EXPECT_EQ(step(e(), task), 0);
  // Held in 10 ms steps; the state is looked at again after the sleep that
  // follows the message that reactivated the window.
  EXPECT_EQ(e().platform.clock->now_ms(), 40u);
  EXPECT_EQ(e().args.slot[1].value, 77);     // then the handler ran
  EXPECT_FALSE(p.paused);
  // Running script timers did not count the held time.
  EXPECT_EQ(timer_value(e().sysvars.timers[0], e().platform.clock->now_ms()), 0u);
  EXPECT_EQ(step(e(), task), -1);  // MACRO, directly
  EXPECT_EQ(last_code(), 900050u);
}

TEST_F(Pause, BackgroundExecutionIgnoresTheWindow) {
  e().dispatch.pause.main_window_active = false;
  EXPECT_EQ(step(e(), task), 0);
  EXPECT_EQ(e().platform.clock->now_ms(), 0u);
  EXPECT_EQ(e().args.slot[1].value, 77);
}

TEST_F(Pause, TheEndOfTheMessageLoopEndsTheTurn) {
  PauseState& p = e().dispatch.pause;
  p.main_window_active = false;
  p.background_exec = false;
  p.pump_messages = message_loop_ended;
  EXPECT_EQ(step(e(), task), 1);
  EXPECT_FALSE(e().running.load());
  EXPECT_EQ(task.pc, 1);  // the instruction was fetched; its handler did not run
  EXPECT_NE(e().args.slot[1].value, 77);
}

TEST_F(Dispatch, GosubArgumentsUseStringEntryThreeWhateverTheSelector) {
  w::ScriptModel& s = m.add_script("main.txt");
  s.code.instruction(cmd::GOSUB, 1);
  s.code.arg(kw::GOSUB::PSTR, w::Expr::real(1.5).op(expr::kToString), w::selector::kFloatString);
  ASSERT_EQ(load(), 0);
  Task task;
  ASSERT_EQ(start_task_at(e(), task, 0), 0);
  e().dispatch.task = &task;
  ASSERT_EQ(fetch(e(), task), cmd::GOSUB);
  ASSERT_EQ(evaluate_arguments(e()), 0);
  EXPECT_EQ(e().args.at(kw::GOSUB::PSTR).text_view(), "1.500000");  // double arithmetic
  ASSERT_EQ(evaluate_arguments_gosub(e()), 0);
  EXPECT_EQ(e().args.at(kw::GOSUB::PSTR).text_view(), "1");  // integer arithmetic
}

TEST_F(Dispatch, ErrorSwitchesFollowTheComKeywords) {
  w::ScriptModel& s = m.add_script("main.txt");
  s.code.instruction(cmd::ERROR_, 1);
  s.code.arg(kw::ERROR_::COM_CG, w::Expr::integer(0), w::selector::kInt);
  s.code.arg(kw::ERROR_::NO, w::Expr::integer(5), w::selector::kInt);
  s.code.instruction(cmd::ERRORINFO, 2);
  ASSERT_EQ(load(), 0);
  Task task;
  ASSERT_EQ(start_task_at(e(), task, 0), 0);
  EXPECT_EQ(e().errors.switches[kErrorSwitchCg], 1);
  EXPECT_EQ(step(e(), task), 0);
  EXPECT_EQ(e().errors.switches[kErrorSwitchCg], 0);
  EXPECT_EQ(e().errors.switches[2], 1);
  EXPECT_EQ(e().errors.switches[5], 1);  // NO is not a switch
  EXPECT_EQ(step(e(), task), 0);
}

}  // namespace
}  // namespace nv::test
