// SYSTEM through small titles: the screen-saver block, background execution
// and a script timer stopped and restarted.
#include <gtest/gtest.h>

#include <cstdint>

#include "display/windows_state.h"
#include "runtime/dispatch.h"
#include "tests/support/title_run.h"
#include "values/script_timers.h"
#include "values/system_vars.h"

namespace nv {
namespace {

using test::TitleRun;

TEST(SystemCommand, SwitchesAndATimerThatContinuesWhereItStopped) {
  TitleRun r(R"(
SYSTEM[SCREENSAVER=0 BACKGROUNDEXEC=0 TIMECOUNT2=0]
WAIT[FRAME=30]
SYSTEM[TIMECOUNT2=1]
SYSTEM[TIMECOUNT2=1 TIMECOUNT3=1]
WAIT[FRAME=1000]
)");
  ASSERT_TRUE(r.ok()) << r.messages();
  r.run(5);
  Engine& e = r.engine();
  ASSERT_EQ(r.first_error(), "");
  EXPECT_FALSE(e.windows.screen_saver_block);
  EXPECT_FALSE(e.dispatch.pause.background_exec);
  const ScriptTimers& t = e.sysvars.timers;
  EXPECT_FALSE(t[1].running);
  EXPECT_TRUE(t[0].running);

  r.run(40);
  ASSERT_EQ(r.first_error(), "");
  EXPECT_TRUE(t[1].running);
  EXPECT_TRUE(t[2].running);
  const uint32_t now = e.platform.clock->now_ms();
  // Timer 2 stood still for the 30 frames of the wait (about 500 ms) and
  // was moved once: a second 1 on a running timer changes nothing.
  const uint32_t lost = timer_value(t[0], now) - timer_value(t[1], now);
  EXPECT_GE(lost, 480u);
  EXPECT_LE(lost, 520u);
  EXPECT_EQ(timer_value(t[2], now), timer_value(t[0], now));
}

}  // namespace
}  // namespace nv
