// Title-level tests of the task tree, the walk and the task commands.
#include <gtest/gtest.h>

#include "platform/headless/display_headless.h"
#include "platform/headless/platform_headless.h"
#include "runtime/script_pos.h"
#include "runtime/task_commands.h"
#include "runtime/task_tree.h"
#include "tests/support/title_run.h"

namespace nv {
namespace {

using test::TitleRun;

TEST(TaskWalk, EqualZRunsTheLaterTaskFirstAndNewTasksJoinByPosition) {
  // SYSTEM creates a and b at Z 5 (below itself); a is at a position the
  // walk has not reached and runs in the same walk, b is inserted after a
  // and so runs before it from the next frame on.
  TitleRun r(R"(
G_STR trace = ""
TASK[ID="a" #=*ta Z=5]
TASK[ID="b" #=*tb Z=5]
LOOP[SET=-1]
  trace += "S"
  WAIT[FRAME=1]
LOOPEND
*ta
LOOP[SET=-1]
  trace += "a"
  WAIT[FRAME=1]
LOOPEND
*tb
LOOP[SET=-1]
  trace += "b"
  WAIT[FRAME=1]
LOOPEND
)");
  ASSERT_TRUE(r.ok()) << r.messages();
  r.run(3);
  EXPECT_EQ(r.first_error(), "");
  // Frame 1: S, then a (unvisited position); b was inserted at a position
  // already passed. Frames 2 and 3: S, b, a.
  EXPECT_EQ(r.text_var("trace"), "SaSbaSba");
}

TEST(TaskWalk, TaskAtAVisitedPositionWaitsForTheNextWalkUnlessRestarted) {
  const char* source = R"(
G_STR trace = ""
TASK[ID="c" #=*tc Z=200%s]
trace += "S"
WAIT[FRAME=1000]
*tc
trace += "c"
WAIT[FRAME=1000]
)";
  char plain[512], restart[512];
  std::snprintf(plain, sizeof plain, source, "");
  std::snprintf(restart, sizeof restart, source, " RESTART=1");
  TitleRun a(plain);
  a.run(1);
  EXPECT_EQ(a.text_var("trace"), "S");
  a.run(1);
  EXPECT_EQ(a.text_var("trace"), "Sc");
  TitleRun b(restart);
  b.run(1);
  EXPECT_EQ(b.text_var("trace"), "Sc");
  EXPECT_EQ(b.first_error(), "");
}

TEST(TaskWalk, ASwitchedOffSetHoldsItsTasksWithoutChangingTheirFlags) {
  TitleRun r(R"(
G_INT ticks = 0
TASK[ID="/u" #=*tu Z=1]
WAIT[FRAME=1000]
*tu
LOOP[SET=-1]
  ticks += 1
  WAIT[FRAME=1]
LOOPEND
)");
  r.run(3);
  ASSERT_EQ(r.first_error(), "");
  int64_t before = r.int_var("ticks");
  EXPECT_GT(before, 0);
  TaskTree& t = r.engine().tasks;
  auto* u = static_cast<TaskNode*>(find_child(*t.unnamed, "u", false));
  ASSERT_NE(u, nullptr);
  t.unnamed->task.enabled = 0;
  r.run(3);
  EXPECT_EQ(r.int_var("ticks"), before);
  EXPECT_EQ(u->task.enabled, 1);
  t.unnamed->task.enabled = 1;
  r.run(2);
  EXPECT_EQ(r.int_var("ticks"), before + 2);
}

TEST(TaskWait, FramesAndTimeOnTheVirtualClock) {
  TitleRun r(R"(
G_INT n = 0
n = 1
WAIT[FRAME=1]
n = 2
WAIT[FRAME=0 TIME=0]
n = 3
WAIT[FRAME=2]
n = 4
WAIT[TIME=100]
n = 5
WAIT[FRAME=1000]
)");
  r.run(1);
  EXPECT_EQ(r.int_var("n"), 1);
  r.run(1);  // WAIT FRAME=1 skips exactly one frame; zeros do not yield
  EXPECT_EQ(r.int_var("n"), 3);
  r.run(1);
  EXPECT_EQ(r.int_var("n"), 3);
  uint32_t waited_from = r.engine().platform.clock->now_ms();  // the frame that runs WAIT TIME
  r.run(1);
  EXPECT_EQ(r.int_var("n"), 4);
  uint32_t resumed_at = 0;
  for (int i = 0; i < 20 && r.int_var("n") == 4; ++i) {
    resumed_at = r.engine().platform.clock->now_ms();
    r.run(1);
  }
  EXPECT_EQ(r.int_var("n"), 5);
  // Resumed in the first frame that starts at least 100 ms later.
  EXPECT_GE(resumed_at - waited_from, 100u);
  EXPECT_LT(resumed_at - waited_from, 100u + 17u);
}

TEST(TaskCommands, SystemCannotEndAndMissingTasksAreReported) {
  TitleRun by_id("TASKEND[ID=\"SYSTEM\"]\n");
  by_id.run(2);
  EXPECT_NE(by_id.first_error().find("システムタスクは解放できません"), std::string::npos) << by_id.first_error();
  TitleRun self("TASKEND\n");
  self.run(2);
  EXPECT_NE(self.first_error().find("システムタスクは解放できません"), std::string::npos);
  TitleRun missing("TASK[ID=\"ghost\" E=0]\n");
  missing.run(2);
  EXPECT_NE(missing.first_error().find("ID=ghost"), std::string::npos) << missing.first_error();
  EXPECT_NE(missing.first_error().find("存在しないタスク"), std::string::npos);
  TitleRun set("TASK[ID=\"grp/\" #=*x Z=1]\n*x\nEND\n");
  set.run(2);
  EXPECT_NE(set.first_error().find("タスクレイヤセット"), std::string::npos) << set.first_error();
  TitleRun label("TASK[ID=\"t\" #=\"nowhere\" Z=1]\n");
  label.run(2);
  EXPECT_NE(label.first_error().find("ラベル nowhere が"), std::string::npos) << label.first_error();
}

TEST(TaskCommands, TaskEndAndInfo) {
  TitleRun r(R"(
G_INT exist = 5, z = 0, e = 0, nest = 0, missing_z = 7, line = 0
G_STR file = ""
TASK[ID="w" #=*w Z=30 TINT2=4]
WAIT[FRAME=1]
TASKINFO[ID="w" LET=exist EXIST=1]
TASKINFO[ID="w" LET=z Z=1]
TASK[ID="w" E=0 Z+=5]
TASKINFO[ID="w" LET=e E=1]
TASKINFO[ID="w" LET=file FILE=1]
TASKINFO[ID="nope" LET=missing_z Z=1]
TASKINFO[LET=line LINE=1]
TASKEND[ID="w"]
TASKINFO[ID="w" LET=exist EXIST=1]
WAIT[FRAME=1000]
*w
IF TINT[2] == 4
  WAIT[FRAME=1000]
IFEND
)");
  ASSERT_TRUE(r.ok()) << r.messages();
  r.run(3);
  ASSERT_EQ(r.first_error(), "");
  EXPECT_EQ(r.int_var("z"), 30);
  EXPECT_EQ(r.int_var("e"), 0);
  EXPECT_EQ(r.int_var("missing_z"), 0);
  EXPECT_EQ(r.int_var("exist"), 0);  // ended by TASKEND
  EXPECT_EQ(r.text_var("file"), "main.nvs");
  EXPECT_EQ(r.int_var("line"), 13);
  EXPECT_EQ(r.engine().tasks.root.child_count, 2u);
}

TEST(ScriptPos, RoundTripRestoresStacksAndSignExtendsCounters) {
  Task t;
  t.if_depth = 2;
  t.ifs[0] = {0, 10, 20};
  t.ifs[1] = {1, 12, 18};
  t.gosub_depth = 1;
  t.gosubs[0] = {1, 0, 33, 2};
  t.loop_depth = 1;
  t.loops[0] = {1, 13, 17, int64_t(0x80000005), 3};
  t.text_line = 9;
  t.pc = 14;
  std::string text = encode_script_pos(t, "dir\\main.nvs");
  EXPECT_EQ(text.substr(0, 8), std::string("\1\2\3\4\5\6\7\x08"));
  Task back;
  DecodedScriptPos d = decode_script_pos(text, back);
  ASSERT_EQ(d.error, ScriptPosError::none);
  EXPECT_EQ(d.script_name, "dir\\main.nvs");
  EXPECT_EQ(back.if_depth, 2);
  EXPECT_EQ(back.ifs[1].if_index, 12);
  EXPECT_EQ(back.ifs[1].ifend_target, 18);
  EXPECT_EQ(back.gosubs[0].return_index, 33);
  EXPECT_EQ(back.gosubs[0].return_script, 2);
  EXPECT_EQ(back.loops[0].counter, int64_t(int32_t(0x80000005)));
  EXPECT_LT(back.loops[0].counter, 0);
  EXPECT_EQ(back.pc, 14);
  EXPECT_EQ(back.text_line, 9);

  // Damaged texts change nothing.
  for (std::string bad : {text.substr(0, 20), std::string("12345678"), text.substr(0, 8) + "zz" + text.substr(10)}) {
    Task u;
    u.pc = 77;
    EXPECT_EQ(decode_script_pos(bad, u).error, ScriptPosError::bad_data);
    EXPECT_EQ(u.pc, 77);
  }
  std::string deep = text;
  deep[8] = 'e';  // IF depth 0x40: more than the stacks hold
  deep[9] = 'a';
  Task u;
  EXPECT_EQ(decode_script_pos(deep, u).error, ScriptPosError::bad_data);
}

TEST(ScriptPos, TaskResumesWhereItWasSaved) {
  TitleRun r(R"(
G_STR pos = ""
G_INT hits = 0, done = 0
TASK[ID="t" #=*worker Z=1]
WAIT[FRAME=10]
TASK[ID="t" #=*idle SCRIPTPOS=pos]
WAIT[FRAME=10]
TASK[ID="x" #=*idle SCRIPTPOS="bad"]
WAIT[FRAME=1000]
*worker
LOOP[SET=3]
  hits += 1
  IF hits == 1
    TASKINFO[LET=pos SCRIPTPOS=1]
  IFEND
  WAIT[FRAME=1]
LOOPEND
done += 1
RETURN
*idle
WAIT[FRAME=1000]
)");
  r.run(9);
  EXPECT_EQ(r.int_var("hits"), 3);
  EXPECT_EQ(r.int_var("done"), 1);
  r.run(10);
  // The restored task went on after its TASKINFO inside the first round.
  EXPECT_EQ(r.int_var("hits"), 5);
  EXPECT_EQ(r.int_var("done"), 2);
  EXPECT_EQ(r.first_error(), "");
  r.run(5);
  EXPECT_NE(r.first_error().find("データエラー"), std::string::npos) << r.first_error();
}

}  // namespace
}  // namespace nv

namespace nv {
namespace {

// Debug mode: the mouse visiting all four desktop corners asks whether to
// stop; Yes stops the engine, No lets the title go on. The title runs more
// than 1024 commands a frame, so every frame has a check.
TEST(DebugEscape, FourCornersAskAndYesStops) {
  const char* source = R"(
LOOP[SET=-1]
  LOOP[SET=1100]
  LOOPEND
  WAIT[FRAME=1]
LOOPEND
)";
  for (platform::AnswerPolicy answer : {platform::AnswerPolicy::yes, platform::AnswerPolicy::no}) {
    test::TitleRun r(source, {.config = "width = 640\nheight = 480\ndebug = 1\n", .answer = answer});
    ASSERT_TRUE(r.start());
    platform::HeadlessDisplay* d = platform::headless_display(r.host());
    ASSERT_NE(d, nullptr);
    const int corners[4][2] = {{0, 0}, {0, 767}, {1023, 0}, {1023, 767}};
    for (const auto& c : corners) {
      EXPECT_FALSE(r.stopped());
      d->set_cursor_position(c[0], c[1]);
      r.run(1);
    }
    EXPECT_EQ(r.dialog_count(), 1u);
    EXPECT_NE(r.dialogs().find("[[デバッグ機能]] マウスによる画面四隅"), std::string::npos) << r.dialogs();
    EXPECT_EQ(r.stopped(), answer == platform::AnswerPolicy::yes);
  }
}

}  // namespace
}  // namespace nv
