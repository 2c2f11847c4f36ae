// Millisecond time and sleeping, as the engine sees them.
//
// Two clocks: the real monotonic clock for interactive runs
// (platform/posix/real_clock.h), and a virtual clock whose time moves only
// when the thread that steps frames sleeps, so that a headless run of a
// title is the same every time (platform/headless/virtual_clock.h).
#pragma once

#include <atomic>
#include <cstdint>

namespace nv::platform {

struct LocalTime {
  int year = 2000;     // four digits
  int month = 1;       // 1..12
  int day = 1;         // 1..31
  int weekday = 6;     // 0 Sunday .. 6 Saturday
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;

  // Microseconds since the clock was made; never goes back.
  virtual uint64_t now_us() = 0;

  // Blocks the calling thread for `us` microseconds. On the virtual clock the
  // time moves forward by exactly that much and nothing blocks.
  virtual void sleep_us(uint64_t us) = 0;

  // For threads that follow the frame thread's time (sound, movies): blocks
  // until the clock reads at least `t_us` or `cancel` becomes true. Returns
  // false when cancelled. On the virtual clock this never moves time.
  virtual bool wait_until_us(uint64_t t_us, const std::atomic<bool>* cancel) = 0;

  // The local calendar time now.
  virtual LocalTime local_time() = 0;

  virtual bool is_virtual() const = 0;

  // A 32-bit millisecond counter that wraps, like the multimedia timer.
  uint32_t now_ms() { return static_cast<uint32_t>(now_us() / 1000); }
  void sleep_ms(uint32_t ms) { sleep_us(uint64_t(ms) * 1000); }
};

// Adds `us` microseconds to a calendar time (used by the virtual clock).
LocalTime add_microseconds(const LocalTime& t, uint64_t us);

}  // namespace nv::platform
