// State the variable commands keep between instructions: MATH RND's
// MT19937 generator, seeded once when the engine starts with the
// millisecond timer.
#pragma once

#include <random>

#include "platform/clock.h"

namespace nv::data {

struct VarCommandState {
  std::mt19937 random;
};

inline VarCommandState var_command_state_at_start(platform::Clock& clock) {
  VarCommandState s;
  s.random.seed(clock.now_ms());
  return s;
}

}  // namespace nv::data
