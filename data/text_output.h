// The task's side of message text output: the walk calls this before a
// task runs so that pending text can advance and clear the busy flag.
#pragma once

namespace nv {

struct Engine;
struct Task;

// Advances the pending text output of `t`. No text window draws anything
// yet, so pending output completes at once: the busy flag set by
// RETURNCODE is released in the task's next turn.
void advance_text_output(Engine& e, Task& t);

}  // namespace nv
