#include "host/system_command.h"

#include <cstdint>

#include "core/engine.h"
#include "display/windows_state.h"
#include "formats/command_table.h"
#include "runtime/arg_eval.h"
#include "runtime/arg_slots.h"
#include "runtime/dispatch.h"
#include "values/script_timers.h"
#include "values/system_vars.h"

namespace nv {

namespace {

// 0 stops a running timer; 1 restarts a stopped one from the value it had,
// by moving its start past the time it stood still. Other pairs do nothing.
void set_timer(ScriptTimer& t, bool run, uint32_t now) {
  if (!run && t.running) {
    t.running = false;
    t.stop_time = now;
  } else if (run && !t.running) {
    t.start += now - t.stop_time;
    t.running = true;
  }
}

}  // namespace

int system_command(Engine& e) {
  namespace K = kw::SYSTEM;
  if (evaluate_arguments(e) != 0) return -1;
  const ArgSlots& a = e.args;
  if (a.has(K::SCREENSAVER)) e.windows.screen_saver_block = a.at(K::SCREENSAVER).value != 0;
  // Taken only while the main window is active, so that a title cannot
  // switch it while the engine is held.
  if (a.has(K::BACKGROUNDEXEC) && e.dispatch.pause.main_window_active)
    e.dispatch.pause.background_exec = a.at(K::BACKGROUNDEXEC).value != 0;
  const int timer_keywords[4] = {K::TIMECOUNT, K::TIMECOUNT2, K::TIMECOUNT3, K::TIMECOUNT4};
  const uint32_t now = e.platform.clock->now_ms();
  for (int k = 0; k < 4; ++k)
    if (a.has(timer_keywords[k])) set_timer(e.sysvars.timers[k], a.at(timer_keywords[k]).value != 0, now);
  return 0;
}

}  // namespace nv
