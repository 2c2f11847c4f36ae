// GO, GOSUB, RETURN, RETURNCODE, LABELINFO and END.
#include "core/engine.h"
#include "core/error_report.h"
#include "formats/command_table.h"
#include "runtime/arg_eval.h"
#include "runtime/arg_slots.h"
#include "runtime/control_flow.h"
#include "runtime/dispatch.h"
#include "runtime/instruction_records.h"
#include "runtime/output_target.h"
#include "runtime/script_tables.h"
#include "runtime/task_tree.h"
#include "values/evaluator.h"

namespace nv {

namespace {


// Moves the task to `l`, switching (and loading) scripts when needed.
int jump_to_label(Engine& e, Task& t, const Label& l) {
  if (l.script != t.script || !t.image) return start_task_at(e, t, l.script, l.instruction) != 0 ? -1 : 0;
  t.pc = l.instruction;
  return 0;
}

// Stores call values k = 1 .. `last` from the keywords int_kw + k - 1,
// float_kw + k - 1 (kept expressions, evaluated as floats) or text_kw + k - 1,
// the first of them given; then clears the slots after `last`. Returns 0 or
// -1 after a report.
int store_call_values(Engine& e, CallValues& v, int last, int int_kw, int float_kw, int text_kw) {
  const ArgSlots& a = e.args;
  int k = 1;
  for (; k <= last && k <= kParamSlots; ++k) {
    if (a.has(int_kw + k - 1)) {
      v.ints[size_t(k)] = a.at(int_kw + k - 1).value;
    } else if (a.has(float_kw + k - 1)) {
      const ArgSlot& s = a.at(float_kw + k - 1);
      bool ok = true;
      std::span<const uint8_t> x = argument_expression(e, s, ok);
      if (!ok) return -1;
      v.floats[size_t(k)] = eval_float(e, x, s.selector);
    } else if (a.has(text_kw + k - 1)) {
      v.texts[size_t(k)].assign(a.at(text_kw + k - 1).text_view());
    }
  }
  for (; k <= kParamSlots; ++k) v.clear(k);
  return 0;
}

const Label* label_named(Engine& e, std::string_view name) {
  int32_t i = find_label(e.scripts.labels, name);
  if (i < 0) {
    report(e, 108180, {name});
    return nullptr;
  }
  return &e.scripts.labels.labels[size_t(i)];
}

}  // namespace

int go_command(Engine& e) {
  Task& t = *e.dispatch.task;
  if (!require_records(e, 1)) return -1;
  const Label* target = nullptr;
  uint32_t size = current_record(e, 0).size();
  if (size >= kResolvedLabel) {
    uint32_t index = size & (kResolvedLabel - 1);
    if (index >= e.scripts.labels.labels.size()) return report(e, 900000);
    target = &e.scripts.labels.labels[index];
  } else {
    bool ok = true;
    std::span<const uint8_t> x = record_expression(e, 0, ok);
    if (!ok) return -1;
    char name[kTextBufferSize];
    name[0] = '\0';
    size_t n = eval_string(e, x, 3, name);
    target = label_named(e, std::string_view(name, n));
    if (!target) return -1;
  }
  int if_depth = target->if_depth, loop_depth = target->loop_depth;
  if (t.gosub_depth > 0) {
    const GosubLevel& g = t.gosubs[size_t(t.gosub_depth - 1)];
    if_depth += g.saved_if_depth;
    loop_depth += g.saved_loop_depth;
  }
  if (if_depth > kStackLevels - 1) return report(e, 101600, {"IF", "IF", kStackLevels});
  if (loop_depth > kStackLevels - 1) return report(e, 101600, {"LOOP", "LOOP", kStackLevels});
  t.if_depth = static_cast<int8_t>(if_depth);
  t.loop_depth = static_cast<int8_t>(loop_depth);
  return jump_to_label(e, t, *target);
}

int gosub_command(Engine& e) {
  namespace K = kw::GOSUB;
  if (evaluate_arguments_gosub(e) != 0) return -1;
  Task& t = *e.dispatch.task;
  const ArgSlots& a = e.args;
  if (t.gosub_depth >= kStackLevels - 1) return report(e, 101600, {"GOSUB", "GOSUB", kStackLevels});

  // Parameter k is looked for only when the instruction has more than k
  // arguments ("#" is one of them).
  CallValues& p = t.params[size_t(t.gosub_depth + 1)];
  if (store_call_values(e, p, e.dispatch.arg_count - 1, K::PINT, K::PFLT, K::PSTR) != 0) return -1;

  const Label* target = nullptr;
  if (!a.has(K::TARGET)) return report(e, 108180, {""});
  uint16_t resolved = current_record(e, a.map[K::TARGET] - 1).label_field();
  if (resolved != 0 && resolved < e.scripts.labels.labels.size()) {
    target = &e.scripts.labels.labels[resolved];
  } else {
    target = label_named(e, a.at(K::TARGET).text_view());
    if (!target) return -1;
  }

  GosubLevel& g = t.gosubs[size_t(t.gosub_depth)];
  g.return_index = e.dispatch.instruction + 1;
  g.return_script = static_cast<uint16_t>(t.script);
  g.saved_if_depth = t.if_depth;
  g.saved_loop_depth = t.loop_depth;
  ++t.gosub_depth;
  return jump_to_label(e, t, *target);
}

int return_command(Engine& e) {
  namespace K = kw::RETURN;
  if (evaluate_arguments(e) != 0) return -1;
  Task& t = *e.dispatch.task;
  if (t.gosub_depth <= 0) {
    if (t.system) return report(e, 101300, {"RETURN", "RETURN", "GOSUB"});
    if (e.tasks.current) detach_task_node(e.tasks, *e.tasks.current);
    return 1;
  }
  CallValues& r = t.returns[size_t(t.gosub_depth - 1)];
  if (store_call_values(e, r, e.dispatch.arg_count, K::RINT, K::RFLT, K::RSTR) != 0) return -1;

  --t.gosub_depth;
  const GosubLevel& g = t.gosubs[size_t(t.gosub_depth)];
  if (g.return_script != t.script || !t.image) return start_task_at(e, t, g.return_script, g.return_index) != 0 ? -1 : 0;
  t.pc = g.return_index;
  return 0;
}

int returncode_command(Engine& e) {
  Task& t = *e.dispatch.task;
  if (!require_records(e, 1)) return -1;
  ArgRecordView r = current_record(e, 0);
  t.text_line = static_cast<int32_t>(uint32_t(r.p[0]) | uint32_t(r.p[1]) << 8 | uint32_t(r.p[2]) << 16 |
                                     uint32_t(r.p[3]) << 24);
  t.next_voice = static_cast<int32_t>(r.size());
  // The text window's codes are appended by the text output; the task waits
  // for it before its next command.
  t.text_busy = true;
  return 1;
}

int labelinfo_command(Engine& e) {
  namespace K = kw::LABELINFO;
  if (evaluate_arguments(e) != 0) return -1;
  if (!e.args.has(K::EXIST)) return 0;
  std::string_view name = e.args.has(K::TARGET) ? e.args.at(K::TARGET).text_view() : std::string_view();
  bool exists = find_label(e.scripts.labels, name) >= 0;
  return store_int(e, output_target(e, K::LET), exists ? 1 : 0);
}

int end_command(Engine& e) {
  if (evaluate_arguments(e) != 0) return -1;
  if (e.args.has(kw::END::RESTART)) e.tasks.restart_request = e.args.at(kw::END::RESTART).value;
  e.stop.store(true);
  return 0;
}

}  // namespace nv
