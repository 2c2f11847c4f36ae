// The four script timers that SYSTEM TIMECOUNT to TIMECOUNT4 start and stop
// and system variable 1 reads. All run from engine start.
#pragma once

#include <array>
#include <cstdint>

namespace nv {

struct ScriptTimer {
  bool running = true;
  uint32_t start = 0;      // millisecond-clock value the timer counts from
  uint32_t stop_time = 0;  // millisecond-clock value at which it was stopped
};

using ScriptTimers = std::array<ScriptTimer, 4>;

// Milliseconds on a timer at millisecond-clock time `now` (32-bit, wrapping
// like the clock itself).
inline uint32_t timer_value(const ScriptTimer& t, uint32_t now) { return (t.running ? now : t.stop_time) - t.start; }

// Shifts every running timer's start by `ms`, so that time in which the
// engine was held does not count.
inline void shift_running_timers(ScriptTimers& timers, uint32_t ms) {
  for (ScriptTimer& t : timers)
    if (t.running) t.start += ms;
}

}  // namespace nv
