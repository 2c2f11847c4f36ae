#include "platform/clock.h"
#include "platform/headless/virtual_clock.h"
#include "platform/posix/real_clock.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace nv::platform {
namespace {

std::vector<uint64_t> run_sleep_sequence(Clock& c) {
  std::vector<uint64_t> seen;
  for (uint32_t ms : {16u, 17u, 0u, 33u, 1000u}) {
    c.sleep_ms(ms);
    seen.push_back(c.now_us());
  }
  return seen;
}

TEST(VirtualClock, SameSleepSequenceGivesSameTimes) {
  auto a = make_virtual_clock();
  auto b = make_virtual_clock();
  auto ta = run_sleep_sequence(*a);
  EXPECT_EQ(ta, run_sleep_sequence(*b));
  EXPECT_EQ(ta.back(), uint64_t(1066) * 1000);
  EXPECT_EQ(a->now_ms(), 1066u);
}

TEST(VirtualClock, TimeMovesOnlyWhenSleeping) {
  auto c = make_virtual_clock();
  uint64_t t0 = c->now_us();
  std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_EQ(c->now_us(), t0);
}

TEST(VirtualClock, LocalTimeFollowsVirtualTimeAcrossMidnightAndMonths) {
  LocalTime start;
  start.year = 2024;
  start.month = 2;
  start.day = 28;
  start.hour = 23;
  start.minute = 59;
  start.second = 59;
  auto c = make_virtual_clock(start);
  c->sleep_ms(1500);
  LocalTime t = c->local_time();
  EXPECT_EQ(t.year, 2024);
  EXPECT_EQ(t.month, 2);
  EXPECT_EQ(t.day, 29);  // leap year
  EXPECT_EQ(t.hour, 0);
  EXPECT_EQ(t.second, 0);
  EXPECT_EQ(t.millisecond, 500);
  EXPECT_EQ(t.weekday, 4);  // 2024-02-29 was a Thursday
  c->sleep_us(uint64_t(86400) * 1000 * 1000);
  t = c->local_time();
  EXPECT_EQ(t.month, 3);
  EXPECT_EQ(t.day, 1);
  EXPECT_EQ(t.weekday, 5);
}

TEST(VirtualClock, FollowerWaitsForTheFrameThreadsTime) {
  auto c = make_virtual_clock();
  std::atomic<bool> done{false};
  std::thread follower([&] {
    EXPECT_TRUE(c->wait_until_us(50000, nullptr));
    done = true;
  });
  for (int i = 0; i < 4; ++i) {
    c->sleep_ms(10);
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    EXPECT_FALSE(done.load());
  }
  c->sleep_ms(10);
  follower.join();
  EXPECT_TRUE(done.load());
  EXPECT_EQ(c->now_us(), 50000u);
}

TEST(VirtualClock, FollowerCanBeCancelled) {
  auto c = make_virtual_clock();
  std::atomic<bool> cancel{false};
  std::thread follower([&] { EXPECT_FALSE(c->wait_until_us(1000000, &cancel)); });
  cancel = true;
  follower.join();
  EXPECT_EQ(c->now_us(), 0u);
}

TEST(RealClock, AdvancesWithSleep) {
  auto c = make_real_clock();
  uint64_t t0 = c->now_us();
  c->sleep_ms(2);
  EXPECT_GE(c->now_us() - t0, 2000u);
  EXPECT_FALSE(c->is_virtual());
}

}  // namespace
}  // namespace nv::platform
