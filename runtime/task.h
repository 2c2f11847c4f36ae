// A script context: where it is, in which compiled script, its IF, LOOP and
// GOSUB stacks, its call parameters and return values, and its wait state.
// Tasks are nodes of the task tree (runtime/task_tree.h).
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace nv {

struct ScriptImage;

constexpr int kStackLevels = 64;  // IF, LOOP and GOSUB stacks; call levels
constexpr int kParamSlots = 10;   // PINT1..10 and the like

struct IfLevel {
  int8_t saved_loop_depth = 0;
  int32_t if_index = 0;     // the IF instruction itself
  int32_t ifend_target = 0; // where its IFEND is
};

struct GosubLevel {
  int8_t saved_if_depth = 0;
  int8_t saved_loop_depth = 0;
  int32_t return_index = 0;
  uint16_t return_script = 0;
};

struct LoopLevel {
  int8_t saved_if_depth = 0;
  int32_t body_start = 0;
  int32_t loopend_index = 0;
  int64_t counter = 0;
  int64_t limit = 0;
};

// Parameters and return values of one call level; index 0 is unused so that
// slot k is element k of the system variables that read them.
struct CallValues {
  std::array<int64_t, kParamSlots + 1> ints{};
  std::array<double, kParamSlots + 1> floats{};
  std::array<std::string, kParamSlots + 1> texts{};

  void clear(int k) {
    ints[size_t(k)] = 0;
    floats[size_t(k)] = 0.0;
    texts[size_t(k)].clear();
  }
};

struct Task {
  uint64_t walk_stamp = 0;  // the walk in which the task last ran
  bool system = false;      // the task "SYSTEM"
  bool text_busy = false;   // waiting for its text output; runs nothing meanwhile

  int8_t if_depth = 0;
  std::array<IfLevel, kStackLevels> ifs{};
  uint8_t reserved = 0;  // carried in the ScriptPos text
  int8_t gosub_depth = 0;
  std::array<GosubLevel, kStackLevels> gosubs{};
  int8_t loop_depth = 0;
  std::array<LoopLevel, kStackLevels> loops{};
  uint8_t carried = 0;  // carried in the ScriptPos text

  std::array<CallValues, kStackLevels> params{};   // PINT/PFLT/PSTR by call level
  std::array<CallValues, kStackLevels> returns{};  // RINT/RFLT/RSTR by call level
  CallValues task_params;                          // TINT/TFLT/TSTR

  int32_t text_line = 0;   // set by RETURNCODE
  int32_t next_voice = 0;
  uint8_t enabled = 1;  // `E` and `A` gate the task (and, on a set, all of it):
  uint8_t active = 1;   // it runs only when both are non-zero
  int32_t wait_frames = 0;
  uint32_t wait_until = 0;  // millisecond clock; 0 = none

  int32_t pc = 0;        // index of the next instruction
  uint32_t script = 0;   // script number
  const ScriptImage* image = nullptr;  // that script's areas (loaded)
};

}  // namespace nv
