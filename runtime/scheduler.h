// The frame step: walks the task tree once (again while TASK RESTART asks
// for it) and lets every runnable task run until it yields.
#pragma once

namespace nv {

struct Engine;
struct TaskNode;

// One frame. Returns non-zero when the engine must stop.
int frame_step(Engine& e);

// Runs the runnable tasks under `set`, last child first. Returns 0.
int walk_tasks(Engine& e, TaskNode& set);

// The debug escape: when the mouse has visited all four corners of the
// desktop, asks whether to stop.
void corner_check(Engine& e);

}  // namespace nv
