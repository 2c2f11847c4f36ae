// The host's monotonic clock and local time, for interactive runs.
#pragma once

#include <memory>

#include "platform/clock.h"

namespace nv::platform {

std::unique_ptr<Clock> make_real_clock();

}  // namespace nv::platform
