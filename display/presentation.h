// The end of every frame step: compose the windows' layer sets, pace the
// frame, present the changed canvases in their windows.
#pragma once

#include "graphics/frame_pacing.h"

namespace nv {

struct Engine;

// Steps 2 to 4 of a frame, after the scripts ran: unless the previous
// pacing asked to skip, each window's set is composed; the frame is paced;
// unless skipping, each window is presented, one drawn frame is counted and
// the dirty state of every set is reset. Returns 0, or -1 after a
// composition error was reported.
int present_frame(Engine& e);

// One window: composes its set when the window shows one (-1 after a
// reported error), and presents it.
int compose_window(Engine& e, int slot);
void present_window(Engine& e, int slot);

}  // namespace nv
