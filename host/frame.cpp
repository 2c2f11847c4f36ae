#include "host/frame.h"

#include "display/presentation.h"
#include "graphics/frame_pacing.h"
#include "host/engine.h"
#include "input/input_frame.h"
#include "input/menu_commands.h"
#include "runtime/scheduler.h"
#include "text/text_frame.h"

namespace nv {

int frame_step(Engine& e) {
  // The sound thread reads these every cycle for its global pause.
  e.sound.window_active.store(e.dispatch.pause.main_window_active);
  e.sound.background_exec.store(e.dispatch.pause.background_exec);
  if (e.stop.load()) return 1;
  input::input_frame_step(e);
  ++e.text.input_frame;  // the key states of this frame: one click releases one wait
  if (walk_frame(e, text::text_walk_step) != 0) return 1;
  if (e.stop.load()) return 1;
  const bool draw = !e.pacing.skip_next;
  if (draw && display::compose_frame(e) != 0) return 1;
  pace_frame(e.pacing, *e.platform.clock);
  if (draw && !e.stop.load()) display::present_frame(e);
  input::show_pending_menu(e);
  return e.stop.load() ? 1 : 0;
}

}  // namespace nv
