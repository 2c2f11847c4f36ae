// The raw input between the window thread and the frame step, both running.
#include "display/raw_input.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/virtual_keys.h"

namespace nv::display {
namespace {

TEST(RawInputThreads, NoWheelNotchOrTapIsLostOrCountedTwice) {
  RawInput raw;
  raw.note_focus(true, false);
  constexpr int kNotches = 20000;
  std::atomic<bool> done{false};
  std::thread window_thread([&] {
    for (int i = 0; i < kNotches; ++i) {
      raw.note_wheel(120);
      raw.note_key(vk::kSpace, true);
      raw.note_key(vk::kSpace, false);
      raw.note_moved();
    }
    done.store(true);
  });
  int64_t wheel = 0;
  int frames_with_tap = 0, frames = 0;
  for (;;) {
    const bool last = done.load();
    RawSample s = raw.take();
    ++frames;
    wheel += s.wheel;
    // A sample either saw the wheel turn, the tap and the move or none of
    // them: each is taken whole.
    if (s.wheel != 0) {
      EXPECT_EQ(s.wheel % 120, 0);
    }
    if (s.keys[vk::kSpace]) ++frames_with_tap;
    if (last) break;
    std::this_thread::yield();
  }
  window_thread.join();
  wheel += raw.take().wheel;
  EXPECT_EQ(wheel, int64_t(kNotches) * 120);
  EXPECT_GE(frames_with_tap, 1);
  EXPECT_LE(frames_with_tap, frames);
}

}  // namespace
}  // namespace nv::display
