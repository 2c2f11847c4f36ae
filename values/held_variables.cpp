// The held system values: assignable numbers whose owners keep no state
// yet read back what a script assigned. Assignment is always plain (LET
// passes the evaluated source whatever its operator).
#include "values/system_vars.h"

#include "core/engine.h"

namespace nv {

namespace {

void write_held_int(Engine& e, uint32_t n, int64_t, int64_t value) { e.sysvars.held.ints[n] = value; }

// Variable 90, the button table: element 0 is kept whatever is assigned.
void write_buttons(Engine& e, uint32_t, int64_t k, int64_t value) {
  if (k >= 1 && k < static_cast<int64_t>(kButtonTableSize)) e.sysvars.held.buttons[static_cast<size_t>(k)] = value;
}

int held_text_slot(uint32_t n) {
  switch (n) {
    case 68: return 0;
    case 69: return 1;
    case 74: return 2;
    case 77: return 3;
    default: return -1;
  }
}

void write_held_text(Engine& e, uint32_t n, int64_t, std::string_view value) {
  int slot = held_text_slot(n);
  if (slot >= 0) e.sysvars.held.texts[static_cast<size_t>(slot)].assign(value);
}

int64_t read_held_int(Engine& e, uint32_t n, int64_t) { return e.sysvars.held.ints[n]; }

int64_t read_buttons(Engine& e, uint32_t, int64_t k) {
  return k >= 0 && k < static_cast<int64_t>(kButtonTableSize) ? e.sysvars.held.buttons[static_cast<size_t>(k)] : 0;
}

void read_held_text(Engine& e, uint32_t n, int64_t, std::string& out) {
  int slot = held_text_slot(n);
  if (slot >= 0) out = e.sysvars.held.texts[static_cast<size_t>(slot)];
}

// The held integers: window requests 65 to 67, the engine setting 78,
// 91 and 92, the key values 93 to 360 (key states, 222 to 226, second
// per-key values, 356 to 360).
bool held_int_number(uint32_t n) { return (n >= 65 && n <= 67) || n == 78 || (n >= 91 && n <= 360); }

}  // namespace

void add_held_variables(SystemVarTable& t) {
  for (uint32_t n = 0; n < kSystemVariableCount; ++n) {
    if (!held_int_number(n)) continue;
    t.ints[n] = read_held_int;
    t.int_writers[n] = write_held_int;
  }
  t.ints[90] = read_buttons;
  t.int_writers[90] = write_buttons;
  for (uint32_t n : {68u, 69u, 74u, 77u}) {
    t.texts[n] = read_held_text;
    t.text_writers[n] = write_held_text;
  }
}

}  // namespace nv
