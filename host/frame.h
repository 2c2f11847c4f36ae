// One frame of the engine, in its order: the text output's step, the walk
// of the task tree, then, unless the last pacing asked to skip the drawing,
// composition; the pacing on the engine's clock; presentation.
#pragma once

namespace nv {

struct Engine;

// Returns non-zero when the engine must stop.
int frame_step(Engine& e);

}  // namespace nv
