// LET: reads its two records itself (target with the operator in byte 3,
// then source) and assigns by the target's type. System variables take a
// plain assignment through their writers whatever the operator. The
// target only names its variable, so a text target of any length is
// appended to in place. An instruction is decoded once (data/decoded_let.h)
// and runs decoded while its checks hold.
#include <cstdint>

#include "core/engine.h"
#include "core/error_report.h"
#include "data/decoded_let.h"
#include "data/var_command_state.h"
#include "data/variable_commands.h"
#include "runtime/instruction_records.h"
#include "values/evaluator.h"
#include "values/evaluator_state.h"
#include "values/int_ops.h"
#include "values/script_expressions.h"
#include "values/system_vars.h"
#include "values/variables.h"

namespace nv::data {

namespace {

constexpr uint8_t kOperatorCount = 9;  // = += -= *= /= %= &= |= ^=

// Integer operators with 64-bit wrapping (the evaluator's); a zero divisor
// keeps the value.
inline int64_t apply_int(uint8_t code, int64_t cur, int64_t v) {
  switch (code) {
    case 0: return v;
    case 1: return int_ops::add(cur, v);
    case 2: return int_ops::sub(cur, v);
    case 3: return int_ops::mul(cur, v);
    case 4: return v == 0 ? cur : int_ops::div(cur, v);
    case 5: return v == 0 ? cur : int_ops::rem(cur, v);
    case 6: return cur & v;
    case 7: return cur | v;
    default: return cur ^ v;
  }
}

// Float operators; remainder and the bitwise ones work on both values
// truncated to integers and store the integer result as a double. A
// divisor that is (or truncates to) zero keeps the value.
double apply_float(uint8_t code, double cur, double v) {
  switch (code) {
    case 0: return v;
    case 1: return cur + v;
    case 2: return cur - v;
    case 3: return cur * v;
    case 4: return v == 0.0 ? cur : cur / v;
    default: break;
  }
  int64_t a = truncate_to_int(cur), b = truncate_to_int(v);
  if (code == 5 && b == 0) return cur;
  return static_cast<double>(apply_int(code, a, b));
}

bool within(std::span<const uint8_t> res, ArgRecordView r) {
  return r.offset() <= res.size() && r.size() <= res.size() - r.offset();
}

void decode_let(Engine& e, const uint8_t* key, DecodedLet& d) {
  d.key = key;
  d.generation = e.eval.generation;
  d.form = LetForm::kGeneral;
  const ArgRecordView target = current_record(e, 0), source = current_record(e, 1);
  d.code = target.assign_op();
  const std::span<const uint8_t> res = e.dispatch.task->image->resources;
  const int ts = target.selector(), ss = source.selector();
  if (d.code >= kOperatorCount || !within(res, target) || !within(res, source) || ts < 1 || ts > 4 || ss < 1 ||
      ss > 4)
    return;  // reported the general way
  compile_expression(res.subspan(target.offset(), target.size()), d.target);
  if (!d.target.target) return;
  compile_expression(res.subspan(source.offset(), source.size()), d.source);
  if (d.source.kind == FastKind::kInt && (ss == 1 || ss == 3)) d.form = LetForm::kInteger;
  else if (d.source.kind == FastKind::kText && d.code <= 1) d.form = LetForm::kText;
}

// Runs a decoded LET; false when a check fails, before anything is written.
bool run_decoded_let(Engine& e, const DecodedLet& d) {
  EvaluatorState& ev = e.eval;
  VarRef& ref = ev.ref;
  if (d.target.shape == FastShape::kVar) {
    // A scalar target, by far the most frequent, named here.
    const uint32_t number = d.target.step[0].number;
    if (number >= e.vars.vars.size()) return false;
    ref.whole = false;
    ref.index_count = 0;
    ref.index[0] = 0;
    ref.number = static_cast<int32_t>(number);
    ref.element = 0;
  } else {
    int64_t unused;
    if (!run_decoded<true>(e, d.target, unused)) return false;
  }
  Variable& v = e.vars.vars[static_cast<size_t>(ref.number)];  // checked above
  const int64_t element = ref.element;
  if (d.form == LetForm::kInteger) {
    if (v.type != kVarInt || element >= v.count || static_cast<uint64_t>(element) >= v.ints.size()) return false;
    int64_t value;
    if (d.source.shape == FastShape::kConst) {
      // A constant names no variable; the evaluator resets these for it.
      ref.whole = false;
      ref.index_count = 0;
      ref.index[0] = 0;
      value = d.source.step[0].imm;
    } else if (!run_decoded<false>(e, d.source, value)) {
      return false;
    }
    int64_t& cell = v.ints[static_cast<size_t>(element)];
    cell = apply_int(d.code, cell, value);
  } else {
    if (v.type != kVarString) return false;
    // A literal names no variable; the evaluator resets these for it.
    ev.ref.whole = false;
    ev.ref.index_count = 0;
    ev.ref.index[0] = 0;
    if (element >= 0 && static_cast<size_t>(element) < v.texts.size()) {
      TextCell& cell = v.texts[static_cast<size_t>(element)];
      if (d.code == 0) store_text(cell, decoded_text(d.source));
      else append_text(cell, decoded_text(d.source));
    }
  }
  ev.failed = false;
  return true;
}

int assign_system(Engine& e, uint32_t number, int64_t element, std::span<const uint8_t> src, int selector) {
  const Variable* v = e.vars.find(number);
  switch (v ? v->type : int8_t(kVarNone)) {
    case kVarInt: {
      int64_t value = eval_int(e, src, selector);
      if (e.eval.failed) return -1;
      return write_system_int(e, number, element, value) ? 0 : report(e, 101150);
    }
    case kVarFloat: return 0;  // assigning a float system variable does nothing
    case kVarString: {
      std::string_view text = eval_text(e, src, selector);
      if (e.eval.failed) return -1;
      return write_system_text(e, number, element, text) ? 0 : report(e, 101150);
    }
    default: return report(e, 101150);
  }
}

// The decoded form of the current LET instruction (which has two records).
const DecodedLet& decoded_let(Engine& e, std::vector<DecodedLet>& table) {
  if (table.empty()) table.resize(kLetSlots);
  const uint8_t* key = current_record(e, 0).p;
  const uintptr_t a = reinterpret_cast<uintptr_t>(key);
  DecodedLet& d = table[((a >> 3) ^ (a >> 11)) & (kLetSlots - 1)];
  if (d.key != key || d.generation != e.eval.generation) decode_let(e, key, d);
  return d;
}

}  // namespace

int let_command(Engine& e) {
  EvaluatorState& ev = e.eval;
  if (!require_records(e, 2)) return -1;
  if (decoded_forms_allowed(ev)) {
    const DecodedLet& d = decoded_let(e, e.varcmd.lets);
    if (d.form != LetForm::kGeneral && run_decoded_let(e, d)) return 0;
  }
  const ArgRecordView target = current_record(e, 0);
  const uint8_t code = target.assign_op();
  if (code >= kOperatorCount) return report(e, 900000);
  bool ok = true;
  std::span<const uint8_t> dst = record_expression(e, target, ok);
  if (!ok) return -1;
  eval_script_target(e, dst, target.selector());
  if (ev.failed) return -1;
  const uint32_t number = static_cast<uint32_t>(ev.ref.number);
  const int64_t element = ev.ref.element;
  const ArgRecordView source = current_record(e, 1);
  std::span<const uint8_t> src = record_expression(e, source, ok);
  if (!ok) return -1;
  const int selector = source.selector();

  if (number < kFirstUserVariable) return assign_system(e, number, element, src, selector);
  Variable* v = e.vars.find(number);
  if (!v) return -1;  // the evaluator has reported the missing variable
  switch (v->type) {
    case kVarInt: {
      int64_t value = eval_script_int(e, src, selector);
      if (ev.failed) return -1;
      write_int(*v, element, apply_int(code, read_int(*v, element), value));
      return 0;
    }
    case kVarFloat: {
      double value = eval_float(e, src, selector);
      if (ev.failed) return -1;
      write_float(*v, element, apply_float(code, read_float(*v, element), value));
      return 0;
    }
    case kVarString: {
      if (code > 1) return report(e, 101140);
      // The result is taken straight from the evaluator's temporary; a
      // numeric source gives the empty text.
      std::string_view text = eval_script_text(e, src, selector);
      if (ev.failed) return -1;
      if (code == 0) return write_text(e, *v, element, text);
      // An element outside the variable drops the write, as write_text does.
      if (element >= 0 && static_cast<size_t>(element) < v->texts.size())
        append_text(v->texts[static_cast<size_t>(element)], text);
      return 0;
    }
    default: return report(e, 101140);
  }
}

}  // namespace nv::data
