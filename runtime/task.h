// A script context as fetch and dispatch see it: where it is and in which
// compiled script. The task tree and control flow extend this record.
#pragma once

#include <cstdint>

namespace nv {

struct ScriptImage;

struct Task {
  int32_t pc = 0;        // index of the next instruction
  uint32_t script = 0;   // script number
  const ScriptImage* image = nullptr;  // that script's areas (loaded)
};

}  // namespace nv
