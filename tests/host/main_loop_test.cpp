// The main loop: the script thread runs a title to the same result as the
// main thread, frame limits hold on both, and shut-down joins every thread.
#include <gtest/gtest.h>

#include "tests/support/title_run.h"

namespace nv {
namespace {

const char* const kTitle = R"(
G_INT ticks = 0, sum = 0
G_STR trace = ""
TASK[ID="w" #=*worker Z=1]
LOOP[SET=-1]
  ticks += 1
  IF ticks == 40
    END
  IFEND
  WAIT[TIME=20]
LOOPEND
*worker
LOOP[SET=-1]
  sum += ticks
  trace += str(ticks % 10)
  WAIT[FRAME=3]
LOOPEND
)";

TEST(MainLoop, TheScriptThreadGivesTheSameResultAsTheMainThread) {
  test::TitleRun main_thread(kTitle, {.config = "width = 640\nheight = 480\nscript_thread = 0\n"});
  test::TitleRun script_thread(kTitle, {.config = "width = 640\nheight = 480\nscript_thread = 1\n"});
  ASSERT_TRUE(main_thread.ok()) << main_thread.messages();
  ASSERT_TRUE(script_thread.ok()) << script_thread.messages();
  main_thread.run(1000);
  script_thread.run(1000);
  EXPECT_EQ(script_thread.engine().config.script_thread, 1);
  EXPECT_EQ(main_thread.first_error(), "");
  EXPECT_EQ(script_thread.first_error(), "");
  EXPECT_TRUE(main_thread.stopped());
  EXPECT_TRUE(script_thread.stopped());
  EXPECT_EQ(main_thread.int_var("ticks"), 40);
  EXPECT_EQ(script_thread.int_var("ticks"), 40);
  EXPECT_EQ(main_thread.int_var("sum"), script_thread.int_var("sum"));
  EXPECT_EQ(main_thread.text_var("trace"), script_thread.text_var("trace"));
  EXPECT_EQ(main_thread.frames_run(), script_thread.frames_run());
  EXPECT_TRUE(script_thread.engine().script_thread.finished);
}

TEST(MainLoop, FrameLimitsStopBothKindsOfLoopAndTheThreadsEnd) {
  for (const char* cfg : {"width = 640\nheight = 480\nscript_thread = 0\n", "width = 640\nheight = 480\nscript_thread = 1\n"}) {
    test::TitleRun r(kTitle, {.config = cfg});
    EXPECT_EQ(r.run(5), 5);
    EXPECT_EQ(r.run(7), 7);
    EXPECT_FALSE(r.stopped());
    EXPECT_EQ(r.engine().sound.ended.load(), media::kSoundThreadRunning);
    shut_down(r.engine());
    EXPECT_EQ(r.engine().sound.ended.load(), media::kSoundThreadEnded);
    EXPECT_FALSE(r.engine().sound.thread.joinable());
  }
}

}  // namespace
}  // namespace nv
