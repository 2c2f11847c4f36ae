// System variables (numbers 0 to 999): the engine supplies their values
// through three readers per number (integer, float, text). The readers form
// one constant dispatch table, filled in data/system_var_readers.cpp; a
// subsystem that owns the state behind a number adds its reader there. A
// number without a reader reads 0, 0.0 or "".
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "data/script_timers.h"
#include "platform/clock.h"
#include "platform/system_info.h"

namespace nv {

struct Engine;

constexpr uint32_t kSystemVariableCount = 1000;

using SystemIntReader = int64_t (*)(Engine& e, uint32_t number, int64_t index);
using SystemFloatReader = double (*)(Engine& e, uint32_t number, int64_t index);
// Writes the text into `out` (Shift-JIS); `out` arrives empty.
using SystemTextReader = void (*)(Engine& e, uint32_t number, int64_t index, std::string& out);

struct SystemReaders {
  std::array<SystemIntReader, kSystemVariableCount> ints{};
  std::array<SystemFloatReader, kSystemVariableCount> floats{};
  std::array<SystemTextReader, kSystemVariableCount> texts{};
};

// The engine-wide table (constant once built).
const SystemReaders& system_readers();

int64_t read_system_int(Engine& e, uint32_t number, int64_t index);
double read_system_float(Engine& e, uint32_t number, int64_t index);
void read_system_text(Engine& e, uint32_t number, int64_t index, std::string& out);

// State behind the system variables this subsystem supplies.
struct SystemVarState {
  platform::LocalTime start_time{};  // local time at engine start (row 1 of variable 0)
  ScriptTimers timers{};
  std::vector<std::string> dropped;  // names of files dropped on the window (variable 14)
  int64_t dropped_count = 0;         // variable 15 (assignable)
  // Requests the window event handling leaves for the scripts (assignable).
  int64_t maximize_request = 0;      // variable 65: window number + 1
  int64_t minimize_request = 0;      // variable 66
  int64_t close_request = 0;         // variable 67
};

inline SystemVarState system_var_state_at_start(platform::Clock& clock) {
  SystemVarState s;
  s.start_time = clock.local_time();
  return s;
}

}  // namespace nv
