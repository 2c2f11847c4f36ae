// LET: reads its two records itself (target with the operator in byte 3,
// then source) and assigns by the target's type. System variables take a
// plain assignment through their writers whatever the operator. The
// target only names its variable, so a text target of any length is
// appended to in place. An instruction is decoded once into a run function
// for its target and source shapes (runtime/decoded_instructions.h) and
// runs that way while its checks hold.
#include <cstdint>

#include "core/engine.h"
#include "core/error_report.h"
#include "data/var_command_state.h"
#include "data/variable_commands.h"
#include "runtime/decoded_instructions.h"
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

// = (code 0) or += of `text` into element `element` of text variable `v`;
// an element outside the variable drops the write, as write_text does.
void assign_text(Variable& v, int64_t element, uint8_t code, std::string_view text) {
  if (element < 0 || static_cast<size_t>(element) >= v.texts.size()) return;
  TextCell& cell = v.texts[static_cast<size_t>(element)];
  if (code == 0) store_text(cell, text);
  else append_text(cell, text);
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

// The general body (the instruction has its two records).
int let_general(Engine& e) {
  EvaluatorState& ev = e.eval;
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
      assign_text(*v, element, code, text);
      return 0;
    }
    default: return report(e, 101140);
  }
}

// Names the target of a decoded LET (shape T): its variable, or null when
// the general body has to run.
template <FastShape T>
Variable* decoded_target(Engine& e, const DecodedForm& d) {
  int64_t unused;
  if (!decoded_forms_allowed(e.eval) || !run_decoded_as<T, true>(e, d.x, unused)) return nullptr;
  return &e.vars.vars[static_cast<size_t>(e.eval.ref.number)];  // the number is checked by the run
}

// An integer target of shape T (kSteps: any other target shape) with an
// integer source of shape S. Nothing is written before every check holds.
template <FastShape T>
struct IntegerLet {
  template <FastShape S>
  struct From {
    static int run(Engine& e, const FastInstruction& f) {
      const DecodedForm& d = *f.form;
      Variable* v = decoded_target<T>(e, d);
      const int64_t element = e.eval.ref.element;
      int64_t value;
      if (!v || v->type != kVarInt || element >= v->count || static_cast<uint64_t>(element) >= v->ints.size() ||
          !run_decoded_as<S, false>(e, d.y, value))
        return let_general(e);
      int64_t& cell = v->ints[static_cast<size_t>(element)];
      cell = apply_int(d.code, cell, value);
      e.eval.failed = false;
      return 0;
    }
  };
};

// A text target of shape T with a plain literal source and = or +=.
template <FastShape T>
struct TextLet {
  static int run(Engine& e, const FastInstruction& f) {
    const DecodedForm& d = *f.form;
    Variable* v = decoded_target<T>(e, d);
    if (!v || v->type != kVarString) return let_general(e);
    const int64_t element = e.eval.ref.element;
    begin_reference(e.eval.ref);  // a literal names no variable
    assign_text(*v, element, d.code, decoded_text(d.y));
    e.eval.failed = false;
    return 0;
  }
};

FastRun integer_let(const CompiledExpression& target, const CompiledExpression& source) {
  switch (target.shape) {
    case FastShape::kVar: return run_for_shape<IntegerLet<FastShape::kVar>::From>(source);
    case FastShape::kElementByVar: return run_for_shape<IntegerLet<FastShape::kElementByVar>::From>(source);
    default: return run_for_shape<IntegerLet<FastShape::kSteps>::From>(source);
  }
}

FastRun text_let(const CompiledExpression& target) {
  switch (target.shape) {
    case FastShape::kVar: return TextLet<FastShape::kVar>::run;
    case FastShape::kElementByVar: return TextLet<FastShape::kElementByVar>::run;
    default: return TextLet<FastShape::kSteps>::run;
  }
}

// Decodes the current LET: a decodable target with an integer source of
// the integer table, or with a plain literal for = and +=.
void decode_let(Engine& e, FastInstruction& f) {
  f.decoded = true;
  const ArgRecordView target = current_record(e, 0), source = current_record(e, 1);
  const uint8_t code = target.assign_op();
  const std::span<const uint8_t> res = e.dispatch.task->image->resources;
  const int ts = target.selector(), ss = source.selector();
  if (code >= kOperatorCount || !within(res, target) || !within(res, source) || ts < 1 || ts > 4 || ss < 1 || ss > 4)
    return;  // reported the general way
  CompiledExpression x, y;
  compile_expression(res.subspan(target.offset(), target.size()), x);
  if (!x.target) return;
  compile_expression(res.subspan(source.offset(), source.size()), y);
  FastRun run = nullptr;
  if (y.kind == FastKind::kInt && (ss == 1 || ss == 3)) run = integer_let(x, y);
  else if (y.kind == FastKind::kText && code <= 1) run = text_let(x);
  if (!run) return;
  DecodedForm& d = new_decoded_form(e);
  d.code = code;
  d.x = x;
  d.y = y;
  f.form = &d;
  f.run = run;
}

}  // namespace

int let_command(Engine& e) {
  if (!require_records(e, 2)) return -1;
  FastInstruction* f = current_fast_instruction(e);
  if (f && !f->decoded) decode_let(e, *f);
  if (f && f->run) return f->run(e, *f);
  return let_general(e);
}

}  // namespace nv::data
