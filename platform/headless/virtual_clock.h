// The virtual clock of headless runs: time moves only when the thread that
// steps frames sleeps; threads that follow it (sound, movies) wait for it.
#pragma once

#include <memory>

#include "platform/clock.h"

namespace nv::platform {

// Starts at `start` local time and at 0 microseconds.
std::unique_ptr<Clock> make_virtual_clock(const LocalTime& start = LocalTime{});

}  // namespace nv::platform
