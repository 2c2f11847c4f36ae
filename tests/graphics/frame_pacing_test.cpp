// Frame pacing on the virtual clock: periods, sleeping, lateness, skipping
// and the per-second counts.
#include <gtest/gtest.h>

#include "graphics/frame_pacing.h"
#include "platform/clock.h"
#include "platform/headless/virtual_clock.h"

namespace nv::gfx {
namespace {

TEST(FramePacing, PeriodsAt60CarryTheFractionAndAverageAThousandOverSixty) {
  FramePacing p;
  int sum = 0;
  for (int i = 0; i < 600; ++i) {
    uint32_t period = next_period(p);
    ASSERT_TRUE(period == 16 || period == 17) << "frame " << i;
    sum += static_cast<int>(period);
  }
  // 600 frames of 1000/60 ms are 10 s; the truncated 16.16 period loses
  // less than one millisecond over them.
  EXPECT_GE(sum, 9999);
  EXPECT_LE(sum, 10000);
  p = FramePacing{};
  EXPECT_EQ(next_period(p), 16u);
  EXPECT_EQ(next_period(p), 17u);
  EXPECT_EQ(next_period(p), 16u);
  p = FramePacing{};
  p.rate = 50;
  for (int i = 0; i < 10; ++i) EXPECT_EQ(next_period(p), 20u);
}

TEST(FramePacing, AnEarlyFrameSleepsToItsDeadline) {
  auto clock = platform::make_virtual_clock();
  FramePacing p;
  start_pacing(p, clock->now_ms());
  clock->sleep_ms(5);  // the frame's work
  EXPECT_FALSE(pace_frame(p, *clock));
  EXPECT_EQ(clock->now_ms(), 16u);
  EXPECT_EQ(p.reference, 16u);
  clock->sleep_ms(3);
  EXPECT_FALSE(pace_frame(p, *clock));
  EXPECT_EQ(clock->now_ms(), 33u);  // 16 + 17
  // 60 frames with no work take one second, near enough.
  for (int i = 0; i < 58; ++i) pace_frame(p, *clock);
  EXPECT_EQ(clock->now_ms(), 999u);
}

struct Late {
  uint32_t late_ms;
  bool skip_switch;
  bool skips;
};

class FramePacingLate : public ::testing::TestWithParam<Late> {};

TEST_P(FramePacingLate, SkipsOnlyWhenThreePeriodsLateAndNotStalled) {
  const Late c = GetParam();
  auto clock = platform::make_virtual_clock();
  FramePacing p;
  p.skip_switch = c.skip_switch;
  start_pacing(p, 0);
  clock->sleep_ms(16 + c.late_ms);  // the first period is 16 ms
  EXPECT_EQ(pace_frame(p, *clock), c.skips);
  EXPECT_EQ(p.skip_next, c.skips);
  EXPECT_EQ(clock->now_ms(), 16 + c.late_ms) << "a late frame does not sleep";
}

INSTANTIATE_TEST_SUITE_P(Lateness, FramePacingLate,
                         ::testing::Values(Late{20, true, false}, Late{47, true, false}, Late{48, true, true},
                                           Late{60, true, true}, Late{60, false, false}, Late{249, true, true},
                                           Late{300, true, false}));

TEST(FramePacing, AfterALateFrameTheDeadlinesStayOnTheGrid) {
  auto clock = platform::make_virtual_clock();
  FramePacing p;
  start_pacing(p, 0);
  clock->sleep_ms(16 + 30);  // 30 ms late
  pace_frame(p, *clock);
  EXPECT_EQ(p.reference, 16u);
  // The next frames catch up: the second deadline (33) has passed, the
  // third (49) comes 3 ms after this frame's end.
  EXPECT_FALSE(pace_frame(p, *clock));
  EXPECT_EQ(clock->now_ms(), 46u);
  EXPECT_FALSE(pace_frame(p, *clock));
  EXPECT_EQ(clock->now_ms(), 49u);

  // A stall of 250 ms or more restarts the grid at the stall's end.
  clock->sleep_ms(400);
  EXPECT_FALSE(pace_frame(p, *clock));
  EXPECT_EQ(p.reference, clock->now_ms());
}

TEST(FramePacing, ImageLoadsMoveTheReference) {
  auto clock = platform::make_virtual_clock();
  FramePacing p;
  start_pacing(p, 0);
  clock->sleep_ms(200);  // a slow load ...
  note_image_loaded(p, clock->now_ms());
  EXPECT_FALSE(pace_frame(p, *clock));  // ... does not make the frame late
  EXPECT_EQ(clock->now_ms(), 216u);
}

TEST(FramePacing, CountsPerSecondAndRestartsThemOnANewRate) {
  auto clock = platform::make_virtual_clock();
  FramePacing p;
  start_pacing(p, 0);
  for (int i = 0; i < 70; ++i) {
    pace_frame(p, *clock);
    ++p.drawn;
  }
  // The second boundary passed at frame 61 (1015 ms): 60 paced in second 0.
  EXPECT_EQ(p.last_paced, 60);
  EXPECT_EQ(p.last_drawn, 60);
  EXPECT_EQ(p.paced, 10);
  set_frame_rate(p, 30, clock->now_ms());
  EXPECT_EQ(p.rate, 30);
  EXPECT_EQ(p.last_paced, 10);
  EXPECT_EQ(p.paced, 0);
  EXPECT_EQ(next_period(p), 33u);
}

}  // namespace
}  // namespace nv::gfx
