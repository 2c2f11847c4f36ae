#include "input/input_sysvars.h"

#include "core/engine.h"
#include "display/windows_state.h"
#include "graphics/graphics_state.h"
#include "runtime/script_tables.h"
#include "input/input_state.h"

namespace nv::input {

namespace {

KeySlot& slot_of(Engine& e, uint32_t key) { return e.input.keys.slots[e.scripts.commands.key_table[key]]; }

int64_t read_state(Engine& e, uint32_t n, int64_t) { return slot_of(e, n - kKeyStateVars).counter; }
int64_t read_presses(Engine& e, uint32_t n, int64_t) { return slot_of(e, n - kKeyPressVars).presses; }
void write_state(Engine& e, uint32_t n, int64_t, int64_t v) { slot_of(e, n - kKeyStateVars).counter = v; }
void write_presses(Engine& e, uint32_t n, int64_t, int64_t v) { slot_of(e, n - kKeyPressVars).presses = v; }

int64_t read_menu_command(Engine& e, uint32_t, int64_t) { return e.windows.flags.menu_command; }
void write_menu_command(Engine& e, uint32_t, int64_t, int64_t v) { e.windows.flags.menu_command = v; }

int64_t read_mouse(Engine& e, uint32_t n, int64_t) {
  const gfx::WindowView& v = e.graphics.windows[0];
  return n == kMouseXVar ? v.mouse_x : v.mouse_y;
}
int64_t read_joysticks(Engine& e, uint32_t n, int64_t) {
  return n == kJoyCountVar ? e.input.joysticks : (e.input.pad ? 1 : 0);
}

}  // namespace

void add_input_variables(SystemVarTable& t) {
  for (uint32_t k = 0; k < kKeyVarCount; ++k) {
    t.ints[kKeyStateVars + k] = read_state;
    t.ints[kKeyPressVars + k] = read_presses;
    t.int_writers[kKeyStateVars + k] = write_state;
    t.int_writers[kKeyPressVars + k] = write_presses;
  }
  t.ints[kMenuCommandVar] = read_menu_command;
  t.int_writers[kMenuCommandVar] = write_menu_command;
  t.ints[kMouseXVar] = t.ints[kMouseYVar] = read_mouse;
  t.ints[kJoyCountVar] = t.ints[kPadVar] = read_joysticks;
}

}  // namespace nv::input
