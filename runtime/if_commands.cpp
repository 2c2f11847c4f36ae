// IF, ELSE, IFBLEND, IFEND, IFBREAK and IFCONTINUE.
#include "core/engine.h"
#include "core/error_report.h"
#include "formats/command_table.h"
#include "runtime/arg_eval.h"
#include "runtime/arg_slots.h"
#include "runtime/control_flow.h"
#include "runtime/decoded_instructions.h"
#include "runtime/dispatch.h"
#include "runtime/instruction_records.h"
#include "values/script_expressions.h"

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

namespace {

// The general bodies (the instruction's records are there).
int if_general(Engine& e) {
  Task& t = *e.dispatch.task;
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

int else_general(Engine& e) {
  Task& t = *e.dispatch.task;
  bool ok = true;
  int64_t cond = record_int(e, 0, ok);
  if (!ok) return -1;
  if (cond != 0) return 0;
  uint32_t next = current_record(e, 1).size();
  if (next != 0) t.pc = static_cast<int32_t>(next);
  else jump_to_top_ifend(t);
  return 0;
}

// Evaluates a decoded condition of shape S; false when the general body has
// to run.
template <FastShape S>
bool decoded_condition(Engine& e, const DecodedForm& d, int64_t& cond) {
  if (!decoded_forms_allowed(e.eval) || !run_decoded_as<S, false>(e, d.x, cond)) return false;
  e.eval.failed = false;
  return true;
}

// IF with a decoded condition of shape S. The condition is evaluated before
// the level is pushed, so a failed check leaves nothing for the general
// body to undo.
template <FastShape S>
struct DecodedIf {
  static int run(Engine& e, const FastInstruction& f) {
    const DecodedForm& d = *f.form;
    Task& t = *e.dispatch.task;
    int64_t cond;
    if (t.if_depth + 1 >= kStackLevels || !decoded_condition<S>(e, d, cond)) return if_general(e);
    IfLevel& l = t.ifs[size_t(t.if_depth)];
    ++t.if_depth;
    l.if_index = e.dispatch.instruction;
    l.saved_loop_depth = t.loop_depth;
    l.ifend_target = d.target2;
    if (cond == 0) t.pc = d.target1 != 0 ? d.target1 : d.target2;
    return 0;
  }
};

// ELSE with a decoded condition of shape S (inside an IF).
template <FastShape S>
struct DecodedElse {
  static int run(Engine& e, const FastInstruction& f) {
    const DecodedForm& d = *f.form;
    Task& t = *e.dispatch.task;
    int64_t cond;
    if (t.if_depth <= 0) return nesting_error(e, "ELSE", "IF");
    if (!decoded_condition<S>(e, d, cond)) return else_general(e);
    if (cond != 0) return 0;
    if (d.target1 != 0) t.pc = d.target1;
    else jump_to_top_ifend(t);
    return 0;
  }
};

// Decodes the condition (record 0) of the current IF or ELSE: an integer
// expression of the integer table, with the targets of records 1 and 2
// (checked against the instruction count when the script loaded).
template <template <FastShape> class Run>
void decode_condition(Engine& e, FastInstruction& f, int records) {
  f.decoded = true;
  const ArgRecordView rec = current_record(e, 0);
  if (rec.selector() != 1 && rec.selector() != 3) return;
  const std::span<const uint8_t> res = e.dispatch.task->image->resources;
  if (rec.offset() > res.size() || rec.size() > res.size() - rec.offset()) return;  // the general body reports it
  CompiledExpression c;
  compile_expression(res.subspan(rec.offset(), rec.size()), c);
  if (c.kind != FastKind::kInt) return;
  DecodedForm& d = new_decoded_form(e);
  d.x = c;
  d.target1 = static_cast<int32_t>(current_record(e, 1).size());
  d.target2 = records > 2 ? static_cast<int32_t>(current_record(e, 2).size()) : 0;
  f.form = &d;
  f.run = run_for_shape<Run>(c);
}

}  // namespace

int if_command(Engine& e) {
  if (!require_records(e, 3)) return -1;
  FastInstruction* f = current_fast_instruction(e);
  if (f && !f->decoded) decode_condition<DecodedIf>(e, *f, 3);
  if (f && f->run) return f->run(e, *f);
  return if_general(e);
}

int else_command(Engine& e) {
  Task& t = *e.dispatch.task;
  if (t.if_depth <= 0) return nesting_error(e, "ELSE", "IF");
  if (e.dispatch.arg_count == 0) return 0;
  if (!require_records(e, 2)) return -1;
  FastInstruction* f = current_fast_instruction(e);
  if (f && !f->decoded) decode_condition<DecodedElse>(e, *f, 2);
  if (f && f->run) return f->run(e, *f);
  return else_general(e);
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
