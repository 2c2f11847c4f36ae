// IF, ELSE, IFBLEND, IFEND, IFBREAK and IFCONTINUE.
#include "core/engine.h"
#include "core/error_report.h"
#include "formats/command_table.h"
#include "runtime/arg_eval.h"
#include "runtime/arg_slots.h"
#include "runtime/control_flow.h"
#include "runtime/dispatch.h"
#include "runtime/instruction_records.h"

namespace nv {

namespace {

int nesting_error(Engine& e, std::string_view cmd, std::string_view opener) {
  return report(e, 101300, {cmd, cmd, opener});
}

// Jumps to the IFEND of the top IF level.
void jump_to_top_ifend(Task& t) { t.pc = t.ifs[size_t(t.if_depth - 1)].ifend_target; }

// The level count `LV` asks for (1 when absent), after the argument routine.
int break_levels(Engine& e, int lv_keyword, int64_t& levels) {
  if (evaluate_arguments(e) != 0) return -1;
  levels = e.args.value(lv_keyword, 1);
  return 0;
}

}  // namespace

int if_command(Engine& e) {
  Task& t = *e.dispatch.task;
  if (!require_records(e, 3)) return -1;
  if (t.if_depth >= kStackLevels) return report(e, 101600, {"IF", "IF", kStackLevels});
  IfLevel& l = t.ifs[size_t(t.if_depth)];
  l.if_index = e.dispatch.instruction;
  l.saved_loop_depth = t.loop_depth;
  l.ifend_target = static_cast<int32_t>(current_record(e, 2).size());
  ++t.if_depth;
  if (t.if_depth >= kStackLevels) return report(e, 101600, {"IF", "IF", kStackLevels});
  bool ok = true;
  int64_t cond = record_int(e, 0, ok);
  if (!ok) return -1;
  if (cond != 0) return 0;
  uint32_t else_target = current_record(e, 1).size();
  t.pc = else_target != 0 ? static_cast<int32_t>(else_target) : l.ifend_target;
  return 0;
}

int else_command(Engine& e) {
  Task& t = *e.dispatch.task;
  if (t.if_depth <= 0) return nesting_error(e, "ELSE", "IF");
  if (e.dispatch.arg_count == 0) return 0;
  if (!require_records(e, 2)) return -1;
  bool ok = true;
  int64_t cond = record_int(e, 0, ok);
  if (!ok) return -1;
  if (cond != 0) return 0;
  uint32_t next = current_record(e, 1).size();
  if (next != 0) t.pc = static_cast<int32_t>(next);
  else jump_to_top_ifend(t);
  return 0;
}

int ifblend_command(Engine& e) {
  Task& t = *e.dispatch.task;
  if (t.if_depth <= 0) return nesting_error(e, "ELSE", "IF");
  jump_to_top_ifend(t);
  return 0;
}

int ifend_command(Engine& e) {
  Task& t = *e.dispatch.task;
  if (t.if_depth <= 0) return nesting_error(e, "IFEND", "IF");
  --t.if_depth;
  t.ifs[size_t(t.if_depth)].ifend_target = 0;
  return 0;
}

int ifbreak_command(Engine& e) {
  int64_t a = 0;
  if (break_levels(e, kw::IFBREAK::LV, a) != 0) return -1;
  if (a <= 0) return 0;
  Task& t = *e.dispatch.task;
  if (a > t.if_depth) return nesting_error(e, "IFBREAK", "IF");
  int k = t.if_depth - static_cast<int>(a) + 1;
  const IfLevel& l = t.ifs[size_t(k - 1)];
  t.if_depth = static_cast<int8_t>(k);
  t.pc = l.ifend_target;
  t.loop_depth = l.saved_loop_depth;
  return 0;
}

int ifcontinue_command(Engine& e) {
  int64_t a = 0;
  if (break_levels(e, kw::IFCONTINUE::LV, a) != 0) return -1;
  if (a <= 0) return 0;
  Task& t = *e.dispatch.task;
  if (a > t.if_depth) return nesting_error(e, "IFCONTINUE", "IF");
  int k = t.if_depth - static_cast<int>(a) + 1;
  const IfLevel& l = t.ifs[size_t(k - 1)];
  t.if_depth = static_cast<int8_t>(k - 1);
  t.pc = l.if_index;
  t.loop_depth = l.saved_loop_depth;
  return 0;
}

}  // namespace nv
