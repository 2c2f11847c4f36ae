// The task commands: TASK, TASKEND, TASKINFO and WAIT.
#pragma once

namespace nv {

struct Engine;

int task_command(Engine& e);
int taskend_command(Engine& e);
int taskinfo_command(Engine& e);
int wait_command(Engine& e);

}  // namespace nv
