// The task commands: TASK, TASKEND, TASKINFO and WAIT.
#pragma once

#include <cstdint>

namespace nv {

struct Engine;

int task_command(Engine& e);
int taskend_command(Engine& e);
int taskinfo_command(Engine& e);
int wait_command(Engine& e);

// The Z a task gets from `current` and a Z keyword with assignment operator
// `op`: "=" takes the value; the arithmetic kinds never go below 1, and a
// division by 0 keeps the current Z.
int64_t combine_task_z(int64_t current, int64_t value, int op);

}  // namespace nv
