// LOOP, LOOPEND, LOOPBREAK and LOOPCONTINUE.
#include "core/engine.h"
#include "core/error_report.h"
#include "formats/command_table.h"
#include "runtime/arg_eval.h"
#include "runtime/arg_slots.h"
#include "runtime/control_flow.h"
#include "runtime/dispatch.h"
#include "runtime/instruction_records.h"

namespace nv {

int loop_command(Engine& e) {
  Task& t = *e.dispatch.task;
  if (!require_records(e, 2)) return -1;
  if (t.loop_depth >= kStackLevels) return report(e, 101600, {"LOOP", "LOOP", kStackLevels});
  LoopLevel& l = t.loops[size_t(t.loop_depth)];
  l.body_start = e.dispatch.instruction + 1;
  l.saved_if_depth = t.if_depth;
  l.loopend_index = static_cast<int32_t>(current_record(e, 1).size());
  bool ok = true;
  int64_t limit = record_int(e, 0, ok);
  if (!ok) return -1;
  l.counter = 1;
  l.limit = limit;
  ++t.loop_depth;
  if (t.loop_depth >= kStackLevels) return report(e, 101600, {"LOOP", "LOOP", kStackLevels});
  if (limit != 0) return 0;
  l.counter = l.limit = 0;
  t.pc = l.loopend_index;
  return 0;
}

int loopend_command(Engine& e) {
  Task& t = *e.dispatch.task;
  if (t.loop_depth <= 0) return report(e, 108120);
  LoopLevel& l = t.loops[size_t(t.loop_depth - 1)];
  if (l.limit != -1 && l.counter >= l.limit) {
    --t.loop_depth;
    l.counter = l.limit = 0;
    l.body_start = 0;
    return 0;
  }
  ++l.counter;
  t.pc = l.body_start;
  t.if_depth = l.saved_if_depth;
  return 0;
}

namespace {

int leave_loops(Engine& e, int lv_keyword, std::string_view cmd, bool stop_loop) {
  if (evaluate_arguments(e) != 0) return -1;
  int64_t a = e.args.value(lv_keyword, 1);
  if (a <= 0) return 0;
  Task& t = *e.dispatch.task;
  if (a > t.loop_depth) return report(e, 101300, {cmd, cmd, "LOOP"});
  int k = t.loop_depth - static_cast<int>(a) + 1;
  LoopLevel& l = t.loops[size_t(k - 1)];
  t.loop_depth = static_cast<int8_t>(k);
  if (stop_loop) l.counter = l.limit = 0;
  t.pc = l.loopend_index;
  t.if_depth = l.saved_if_depth;
  return 0;
}

}  // namespace

int loopbreak_command(Engine& e) { return leave_loops(e, kw::LOOPBREAK::LV, "LOOPBREAK", true); }
int loopcontinue_command(Engine& e) { return leave_loops(e, kw::LOOPCONTINUE::LV, "LOOPCONTINUE", false); }

}  // namespace nv
