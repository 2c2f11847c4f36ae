// System variables (numbers 0 to 999): the engine supplies their values
// through three readers per number (integer, float, text). The readers form
// one constant dispatch table, filled in data/system_var_readers.cpp; a
// subsystem that owns the state behind a number adds its reader there. A
// number without a reader reads 0, 0.0 or "". The numbers LET may assign
// have a writer in a second table (data/system_var_writers.cpp); a number
// without one refuses assignment.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "values/script_timers.h"
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

using SystemIntWriter = void (*)(Engine& e, uint32_t number, int64_t index, int64_t value);
using SystemTextWriter = void (*)(Engine& e, uint32_t number, int64_t index, std::string_view value);

struct SystemWriters {
  std::array<SystemIntWriter, kSystemVariableCount> ints{};
  std::array<SystemTextWriter, kSystemVariableCount> texts{};
};

const SystemWriters& system_writers();

// Assignment to an integer or text system variable: false when the number
// takes no assignment of that kind (the caller reports 101150).
bool write_system_int(Engine& e, uint32_t number, int64_t index, int64_t value);
bool write_system_text(Engine& e, uint32_t number, int64_t index, std::string_view value);

// Assignable values whose owning subsystem keeps no state of its own yet:
// a script reads back what it assigned. An owner that takes a number over
// registers its reader and writer pair in place of these.
constexpr size_t kButtonTableSize = 32;  // variable 90
struct HeldSystemValues {
  std::array<int64_t, kSystemVariableCount> ints{};
  std::array<int64_t, kButtonTableSize> buttons{};
  std::array<std::string, 4> texts;  // 68, 69, 74, 77
};

// Registers the readers of the held values (called while the reader table
// is built, before the owners' own readers).
void add_held_readers(SystemReaders& r);

// State behind the system variables this subsystem supplies.
struct SystemVarState {
  platform::LocalTime start_time{};  // local time at engine start (row 1 of variable 0)
  ScriptTimers timers{};
  std::vector<std::string> dropped;  // names of files dropped on the window (variable 14)
  int64_t dropped_count = 0;         // variable 15 (assignable)
  HeldSystemValues held;
};

inline SystemVarState system_var_state_at_start(platform::Clock& clock) {
  SystemVarState s;
  s.start_time = clock.local_time();
  return s;
}

}  // namespace nv
