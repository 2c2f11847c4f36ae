// The scripts' part of a frame: walks the task tree once (again while TASK
// RESTART asks for it) and lets every runnable task run until it yields.
// The frame around it (host/frame.h) composes and presents afterwards.
#pragma once

namespace nv {

struct Engine;
struct TaskNode;

// A step run before every walk (the text output's, which releases the
// tasks whose text is done).
using WalkStep = void (*)(Engine& e);

// The walks of one frame, each after `before_walk`. Returns non-zero when
// the engine must stop.
int walk_frame(Engine& e, WalkStep before_walk);

// Runs the runnable tasks under `set`, last child first. Returns 0.
int walk_tasks(Engine& e, TaskNode& set);

// The debug escape: when the mouse has visited all four corners of the
// desktop, asks whether to stop.
void corner_check(Engine& e);

}  // namespace nv
