#include "graphics/fps_command.h"

#include "core/engine.h"
#include "formats/command_table.h"
#include "graphics/frame_pacing.h"
#include "runtime/arg_eval.h"
#include "runtime/arg_slots.h"

namespace nv::gfx {

int fps_command(Engine& e) {
  if (evaluate_arguments(e) != 0) return -1;
  const ArgSlots& a = e.args;
  if (a.has(kw::FPS::SET)) set_frame_rate(e.pacing, static_cast<int32_t>(a.at(kw::FPS::SET).value), e.platform.clock->now_ms());
  if (a.has(kw::FPS::SKIP)) e.pacing.skip_switch = a.at(kw::FPS::SKIP).value != 0;
  return 0;
}

}  // namespace nv::gfx
