// Fetch and dispatch of one instruction, inline: the scheduler's command
// loop runs them for every instruction of every task.
#pragma once

#include "core/engine.h"
#include "runtime/decoded_instructions.h"
#include "runtime/dispatch.h"
#include "runtime/script_tables.h"

namespace nv {

// Reports 900000 for a program counter outside the script; returns -1.
int fetch_outside(Engine& e, Task& t);

// Reads the instruction at the task's program counter into the registers,
// advances the counter and returns the command number; -1 (reported) when
// the counter is outside the script.
// The command loops pass the dispatch record they hold.
inline int fetch(Engine& e, DispatchState& d, Task& t) {
  const ScriptImage* img = t.image;
  if (!img || t.pc < 0 || static_cast<uint32_t>(t.pc) >= img->count) return fetch_outside(e, t);
  uint32_t pc = static_cast<uint32_t>(t.pc);
  d.instruction = t.pc;
  t.pc = t.pc + 1;
  d.command = img->command_of(pc);
  d.arg_count = img->arg_count_of(pc);
  return d.command;
}

inline int fetch(Engine& e, Task& t) { return fetch(e, e.dispatch, t); }

// Calls the handler of `command` from the table the pause state selects.
inline int dispatch(Engine& e, const DispatchState& d, int command) {
  const bool paused = !d.pause.main_window_active && !d.pause.background_exec;
  const HandlerTable& table = paused ? d.paused : d.direct;
  return table[static_cast<size_t>(command)](e);
}

inline int dispatch(Engine& e, int command) { return dispatch(e, e.dispatch, command); }

// Runs the instruction fetch() has just read from `t`: its decoded form
// when it has one and the engine is not paused, else the handler.
inline int run_fetched(Engine& e, const DispatchState& d, const Task& t, int command) {
  if (const FastInstruction* f = t.image->fast) {
    const FastInstruction& fi = f[d.instruction];
    if (fi.run && (d.pause.main_window_active || d.pause.background_exec)) return fi.run(e, fi);
  }
  return dispatch(e, d, command);
}

}  // namespace nv
