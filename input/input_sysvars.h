// The system variables the input state supplies:
//   93 + k   the key state (counter) of engine key k (assignable)
//   227 + k  its press count (assignable)
//   222      SYS_MENU: the id of the menu item chosen last, 0 none (assignable)
//   79, 80   SYS_MOUSEX, SYS_MOUSEY: the pointer's client point in the main window
//   81, 82   SYS_JOYCOUNT, SYS_PAD: joysticks found at start-up, and whether any
#pragma once

#include "values/system_vars.h"

namespace nv::input {

constexpr uint32_t kKeyStateVars = 93;
constexpr uint32_t kKeyPressVars = 227;
constexpr uint32_t kKeyVarCount = 129;  // engine keys 0 to 128
constexpr uint32_t kMenuCommandVar = 222;
constexpr uint32_t kMouseXVar = 79, kMouseYVar = 80, kJoyCountVar = 81, kPadVar = 82;

// Registers the readers and writers above.
void add_input_variables(SystemVarTable& t);

}  // namespace nv::input
