#include "runtime/dispatch.h"

#include "core/engine.h"
#include "core/error_report.h"
#include "runtime/arg_eval.h"
#include "runtime/fetch.h"
#include "runtime/script_tables.h"
#include "values/script_timers.h"
#include "values/system_vars.h"

namespace nv {

int fetch_outside(Engine& e, Task& t) {
  e.dispatch.instruction = t.pc;
  return report(e, 900000);
}

void update_pause_state(Engine& e) {
  PauseState& p = e.dispatch.pause;
  if (p.background_exec) {
    p.paused = false;
    return;
  }
  if (!p.main_window_active && !p.paused) {
    p.paused = true;
    p.paused_since = e.platform.clock->now_ms();
  } else if (p.main_window_active && p.paused) {
    // Running script timers do not advance while the engine is held.
    shift_running_timers(e.sysvars.timers, e.platform.clock->now_ms() - p.paused_since);
    p.paused = false;
    p.paused_since = 0;
  }
}

namespace {
bool engine_paused(const PauseState& p) { return !p.main_window_active && !p.background_exec; }
}  // namespace

int pause_wrapper(Engine& e) {
  PauseState& p = e.dispatch.pause;
  for (;;) {
    update_pause_state(e);
    if (!engine_paused(p)) break;
    if (p.pump_messages && !p.pump_messages(e)) e.running.store(false);
    if (!e.running.load() || e.stop.load()) return 1;
    e.platform.clock->sleep_ms(10);
  }
  return e.dispatch.direct[e.dispatch.command](e);
}

int run_task(Engine& e, Task& t) {
  DispatchState& d = e.dispatch;
  d.task = &t;
  for (;;) {
    if (e.stop.load()) return 1;
    int command = fetch(e, d, t);
    if (command < 0) return -1;
    int status = run_fetched(e, d, t, command);
    if (status != 0) return status;
  }
}

int start_task_at(Engine& e, Task& t, uint32_t number, int32_t pc) {
  if (ensure_script_loaded(e, number) != 0) return -1;
  const ScriptImage& img = e.scripts.images[number];
  if (!img.valid) return -1;
  t.script = number;
  t.image = &img;
  t.pc = pc;
  return 0;
}

bool current_script_position(const Engine& e, std::string_view& name, int32_t& line) {
  const Task* t = e.dispatch.task;
  const ScriptTables& s = e.scripts;
  if (!t || !s.list_loaded || t->script >= s.script_names.size()) return false;
  name = s.script_names[t->script];
  line = 1;
  if (t->image) line = t->image->line_of(static_cast<uint32_t>(e.dispatch.instruction));
  return true;
}

int default_handler(Engine& e) { return report_ex(e, 900050, {.framed = false}); }

int evaluate_only_handler(Engine& e) { return evaluate_arguments(e) != 0 ? -1 : 0; }

int nothing_handler(Engine&) { return 0; }

}  // namespace nv
