#include "host/frame.h"

#include "display/presentation.h"
#include "graphics/frame_pacing.h"
#include "host/engine.h"
#include "runtime/scheduler.h"

namespace nv {

namespace {

// The text output's step before each walk. No text window draws yet, so
// pending output completes at once: a task that waits for its text
// (RETURNCODE) runs again in the next walk.
void text_step(Engine& e) {
  for (auto& node : e.tasks.nodes) node->task.text_busy = false;
}

}  // namespace

int frame_step(Engine& e) {
  if (walk_frame(e, text_step) != 0) return 1;
  if (e.stop.load()) return 1;
  const bool draw = !e.pacing.skip_next;
  if (draw && compose_frame(e) != 0) return 1;
  pace_frame(e.pacing, *e.platform.clock);
  if (draw && !e.stop.load()) present_frame(e);
  return e.stop.load() ? 1 : 0;
}

}  // namespace nv
