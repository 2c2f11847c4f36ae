// Fetch and dispatch: the current-instruction registers, the two handler
// tables (direct, and paused where every entry is the pause wrapper) and the
// loop that runs a task's instructions.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "runtime/task.h"

namespace nv {

struct Engine;

// A command handler: reads the argument slots, acts, and returns 0 to go on
// with the task's next instruction or non-zero to end its turn (-1 after a
// reported error).
using Handler = int (*)(Engine& e);

using HandlerTable = std::array<Handler, 100>;

struct PauseState {
  bool main_window_active = true;  // until windows exist the window counts as active
  bool background_exec = true;     // SYSTEM BACKGROUNDEXEC
  bool paused = false;
  uint32_t paused_since = 0;       // millisecond clock when the pause began
  // Delivers the pending window messages of the calling thread; returns false
  // when the message loop has ended. Installed by the window subsystem.
  bool (*pump_messages)(Engine& e) = nullptr;
};

struct DispatchState {
  // Current-instruction registers, valid while a task executes.
  Task* task = nullptr;
  int32_t instruction = 0;
  uint8_t command = 0;
  int32_t arg_count = 0;

  HandlerTable direct{};
  HandlerTable paused{};
  PauseState pause;
};

// fetch and dispatch: runtime/fetch.h.

// Makes `t` current and runs its instructions until a handler returns
// non-zero or the stop flag is set; returns that status (1 for a stop).
int run_task(Engine& e, Task& t);

// Points `t` at the start of script `number`, loading it first. Returns 0, or
// -1 when the script could not be loaded.
int start_task_at(Engine& e, Task& t, uint32_t number, int32_t pc = 0);

// Brings the paused flag up to date with the window and background state.
void update_pause_state(Engine& e);

// The script name and line of the current instruction, when a script runs
// (the script list is loaded and a task is current): the position the error
// routine puts before a report.
bool current_script_position(const Engine& e, std::string_view& name, int32_t& line);

// The handler every unimplemented command number gets (900050).
int default_handler(Engine& e);
// Handlers of the commands that only evaluate their arguments, or do nothing.
int evaluate_only_handler(Engine& e);
int nothing_handler(Engine& e);
// The paused table's entry: holds the task while the engine is paused.
int pause_wrapper(Engine& e);

}  // namespace nv
