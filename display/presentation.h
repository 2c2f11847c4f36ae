// Presentation, the end of every drawn frame (host/frame.cpp calls it
// around the frame's pacing): compose the layer sets the windows show, then
// present the changed canvases in their windows.
#pragma once

namespace nv {
struct Engine;
}  // namespace nv

namespace nv::display {

// Each window's set is composed where it changed. Returns 0, or -1 after a
// composition error was reported.
int compose_frame(Engine& e);

// Each window is presented, one drawn frame is counted and the dirty state
// of every set is reset.
void present_frame(Engine& e);

// One window: composes its set when the window shows one (-1 after a
// reported error), and presents it.
int compose_window(Engine& e, int slot);
void present_window(Engine& e, int slot);

}  // namespace nv::display
