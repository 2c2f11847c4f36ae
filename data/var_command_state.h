// State the variable commands keep between instructions: MATH RND's
// MT19937 generator, seeded once when the engine starts with the
// millisecond timer, and a text buffer LET reuses for its results.
#pragma once

#include <random>
#include <string>

#include "platform/clock.h"

namespace nv {

struct VarCommandState {
  std::mt19937 random;
  std::string text;  // LET: the text being assigned
};

inline VarCommandState var_command_state_at_start(platform::Clock& clock) {
  VarCommandState s;
  s.random.seed(clock.now_ms());
  return s;
}

}  // namespace nv
