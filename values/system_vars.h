// System variables (numbers 0 to 999): the engine supplies their values
// through three readers per number (integer, float, text), and the numbers
// LET may assign through writers. Each subsystem defines the readers and
// writers of the numbers whose state it owns; the top (host/) registers
// them all in one constant table, which every engine points at. A number
// without a reader reads 0, 0.0 or ""; one without a writer refuses
// assignment.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"
#include "values/script_timers.h"

namespace nv {

struct Engine;

constexpr uint32_t kSystemVariableCount = 1000;

using SystemIntReader = int64_t (*)(Engine& e, uint32_t number, int64_t index);
using SystemFloatReader = double (*)(Engine& e, uint32_t number, int64_t index);
// Writes the text into `out` (Shift-JIS); `out` arrives empty.
using SystemTextReader = void (*)(Engine& e, uint32_t number, int64_t index, std::string& out);
using SystemIntWriter = void (*)(Engine& e, uint32_t number, int64_t index, int64_t value);
using SystemTextWriter = void (*)(Engine& e, uint32_t number, int64_t index, std::string_view value);

struct SystemVarTable {
  std::array<SystemIntReader, kSystemVariableCount> ints{};
  std::array<SystemFloatReader, kSystemVariableCount> floats{};
  std::array<SystemTextReader, kSystemVariableCount> texts{};
  std::array<SystemIntWriter, kSystemVariableCount> int_writers{};
  std::array<SystemTextWriter, kSystemVariableCount> text_writers{};
};

int64_t read_system_int(Engine& e, uint32_t number, int64_t index);
double read_system_float(Engine& e, uint32_t number, int64_t index);
void read_system_text(Engine& e, uint32_t number, int64_t index, std::string& out);

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

// Registers the readers and writers of the held values (first, so that
// the owners' own take their place).
void add_held_variables(SystemVarTable& t);

// Registers what values/ supplies itself: the time rows (0), the clock and
// script timers (1), the OS code (2), memory figures (5 to 7), the
// constants (10, 33, 60), the drop list and count (14, 15), the desktop size
// (63, 64) and the byte texts (73).
void add_value_variables(SystemVarTable& t);

// The engine's OS code for a Windows build number; 255 for anything else.
uint8_t os_code_for_build(uint32_t build);

// State behind the system variables this subsystem supplies.
struct SystemVarState {
  const SystemVarTable* table = nullptr;  // registered by the top; none reads 0 and refuses assignment
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
