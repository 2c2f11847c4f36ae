// Evaluation of the loaded scripts' expressions through checked,
// pre-decoded forms. An expression is decoded once into typed steps (a
// constant right operand folded into its operator, variables by number)
// and kept in a direct-mapped cache keyed by its address and size. The
// script images are immutable while they are loaded, so a hit compares no
// bytes; clear_script_expressions() drops every entry, and the script
// loaders call it whenever an image is installed or the images are
// released. Only expressions inside a loaded script image may come here:
// any other buffer goes to the general entries of values/evaluator.h.
//
// Each entry gives exactly what its general counterpart gives (result,
// reports, the last variable reference): a decoded form runs only while its
// checks hold (the variables exist and hold integers, the indexes are in
// range), and the general evaluator runs the expression otherwise, so every
// error is reported by the general evaluator as before.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "core/engine.h"
#include "formats/expr_tokens.h"
#include "values/element_reference.h"
#include "values/evaluator.h"
#include "values/evaluator_state.h"
#include "values/int_ops.h"
#include "values/variables.h"

namespace nv {

enum class FastOp : uint8_t {
  kConst,    // push imm
  kVar,      // push integer variable `number`, element 0
  kElement,  // pop `count` indexes, push that element of integer variable `number`
  kNeg,
  // Binary operators: the right operand is imm when `count` is 1, else popped.
  kAdd, kSub, kMul, kDiv, kRem, kEq, kNe, kGt, kLt, kGe, kLe, kBitAnd, kBitOr, kBitXor, kAnd, kOr,
};

struct FastStep {
  FastOp op = FastOp::kConst;
  uint8_t count = 0;
  uint32_t number = 0;
  int64_t imm = 0;
};

constexpr int kMaxFastSteps = 16;
constexpr int kMaxFastDepth = 8;

// The most frequent step sequences, run without the step loop.
enum class FastShape : uint8_t {
  kSteps,              // any other: the step loop
  kConst,              // c
  kVar,                // x
  kVarOp,              // x op c
  kVarOpOp,            // x op c op c
  kElementByVar,       // a[x]
  kElementByVarOp,     // a[x] op c
};

enum class FastKind : uint8_t {
  kGeneral,  // run by the general evaluator
  kInt,      // integer steps
  kText,     // one string literal that needs no decoding
};

struct CompiledExpression {
  const uint8_t* key = nullptr;
  uint32_t size = 0;
  FastKind kind = FastKind::kGeneral;
  bool target = false;      // kInt ending on a variable or element: usable as an assignment target
  FastShape shape = FastShape::kSteps;
  uint8_t steps = 0;
  uint32_t max_number = 0;  // highest variable number the steps use
  uint32_t text_offset = 0;  // kText: the literal's bytes within the expression
  uint32_t text_length = 0;
  std::array<FastStep, kMaxFastSteps> step{};
};

// Decodes `expr` into `out` (kGeneral when it has a token the steps do not
// cover: floats, strings, system or whole variables, malformed tokens, a
// stack deeper than kMaxFastDepth ...).
void compile_expression(std::span<const uint8_t> expr, CompiledExpression& out);

constexpr uint32_t kExpressionSlots = 1024;

struct CompiledExpressions {
  std::array<CompiledExpression, kExpressionSlots> slot{};
};

// Drops every decoded expression (an image was installed or released).
void clear_script_expressions(Engine& e);

// The decoded form of script expression `expr`, decoded on a miss (an
// expression sharing its slot with another is decoded again).
inline const CompiledExpression& decoded_expression(EvaluatorState& st, std::span<const uint8_t> expr) {
  if (!st.compiled) st.compiled.reset(new CompiledExpressions);
  const uintptr_t a = reinterpret_cast<uintptr_t>(expr.data());
  CompiledExpression& c = st.compiled->slot[(a ^ (a >> 10)) & (kExpressionSlots - 1)];
  if (c.key != expr.data() || c.size != expr.size()) compile_expression(expr, c);
  return c;
}

// Decoded forms run outside the constant-only and declaration modes only.
inline bool decoded_forms_allowed(const EvaluatorState& st) { return !st.constant_only && !st.declaration; }

namespace fast_detail {

inline int64_t apply_binary(FastOp op, int64_t l, int64_t r) {
  switch (op) {
    case FastOp::kAdd: return int_ops::add(l, r);
    case FastOp::kSub: return int_ops::sub(l, r);
    case FastOp::kMul: return int_ops::mul(l, r);
    case FastOp::kDiv: return int_ops::div(l, r);
    case FastOp::kRem: return int_ops::rem(l, r);
    case FastOp::kEq: return l == r;
    case FastOp::kNe: return l != r;
    case FastOp::kGt: return l > r;
    case FastOp::kLt: return l < r;
    case FastOp::kGe: return l >= r;
    case FastOp::kLe: return l <= r;
    case FastOp::kBitAnd: return l & r;
    case FastOp::kBitOr: return l | r;
    case FastOp::kBitXor: return l ^ r;
    case FastOp::kAnd: return l != 0 && r != 0;
    default: return l != 0 || r != 0;
  }
}


// Reads integer variable `number`, element 0, recording the reference.
inline bool load_var(const Variable* vars, VarRef& ref, uint32_t number, int64_t& out) {
  const Variable& v = vars[number];
  ref.number = static_cast<int32_t>(number);
  ref.element = 0;
  if (v.type != kVarInt || v.count < 1 || v.ints.empty()) return false;
  out = v.ints[0];
  return true;
}

// Closes a one-index reference to `number` (recording it); `v` is then
// the variable and ref.element the element.
inline bool name_element1(const Variable* vars, VarRef& ref, uint32_t number, int64_t idx) {
  const Variable& v = vars[number];
  if (v.dim_count != 1)
    return close_element_reference(ref, number, &v, 1, [idx](uint32_t) { return idx; });
  ref.number = static_cast<int32_t>(number);
  ref.index_count = 1;
  ref.index[0] = idx;
  if (idx < 0 || idx >= v.dims[0]) return false;
  ref.element = idx;
  return true;
}

// Reads the element ref.element names of integer variable `number`.
inline bool read_element(const Variable* vars, const VarRef& ref, uint32_t number, int64_t& out) {
  const Variable& v = vars[number];
  const int64_t k = ref.element;
  if (v.type != kVarInt || k >= v.count || static_cast<uint64_t>(k) >= v.ints.size()) return false;
  out = v.ints[static_cast<size_t>(k)];
  return true;
}

// The step loop (FastShape::kSteps, and a target shape without a direct
// form). The reference fields are reset by the caller.
template <bool Target>
inline bool run_steps(const Variable* vars, VarRef& ref, const CompiledExpression& c, int64_t& result) {
  const FastStep* p = c.step.data();
  int64_t s[kMaxFastDepth];
  int sp = 0;
  const FastStep* const end = p + c.steps - (Target ? 1 : 0);
  for (; p != end; ++p) {
    switch (p->op) {
      case FastOp::kConst: s[sp++] = p->imm; continue;
      case FastOp::kVar: {
        const Variable& v = vars[p->number];
        ref.number = static_cast<int32_t>(p->number);
        ref.element = 0;
        if (v.type != kVarInt) return false;
        s[sp++] = read_int(v, 0);
        continue;
      }
      case FastOp::kElement: {
        sp -= p->count;
        const int64_t* idx = s + sp;
        const Variable& v = vars[p->number];
        if (!close_element_reference(ref, p->number, &v, p->count, [idx](uint32_t k) { return idx[k]; }) ||
            v.type != kVarInt)
          return false;
        s[sp++] = read_int(v, ref.element);
        continue;
      }
      case FastOp::kNeg: s[sp - 1] = int_ops::neg(s[sp - 1]); continue;
      default: break;
    }
    const int64_t r = p->count ? p->imm : s[--sp];
    s[sp - 1] = apply_binary(p->op, s[sp - 1], r);
  }
  if constexpr (Target) {
    if (p->op == FastOp::kVar) {
      ref.number = static_cast<int32_t>(p->number);
      ref.element = 0;
    } else {
      sp -= p->count;
      const int64_t* idx = s + sp;
      if (!close_element_reference(ref, p->number, &vars[p->number], p->count, [idx](uint32_t k) { return idx[k]; }))
        return false;
    }
    result = 0;
  } else {
    result = s[0];
  }
  return true;
}

}  // namespace fast_detail

// Runs a kInt form of shape S (c.shape == S), recording variable
// references as the token evaluator does. As a target (the form's `target`
// set), the last step only names its variable (element) and reads nothing;
// `result` is then 0. False when a check fails: the caller then runs the
// general evaluator, which starts over, so nothing done here is seen (the
// decoded form writes only the last variable reference, in the token
// evaluator's order). The shape is a template argument so that decoded
// instructions (runtime/decoded_instructions.h) pick their code once.
template <FastShape S, bool Target>
inline bool run_decoded_as(Engine& e, const CompiledExpression& c, int64_t& result) {
  using namespace fast_detail;
  if (c.max_number >= e.vars.vars.size()) return false;  // a missing variable is reported there
  const Variable* const vars = e.vars.vars.data();
  VarRef& ref = e.eval.ref;
  begin_reference(ref);
  const FastStep* p = c.step.data();
  int64_t x;
  if constexpr (S == FastShape::kConst && !Target) {
    result = p[0].imm;
    return true;
  } else if constexpr (S == FastShape::kVar) {
    if constexpr (Target) {
      ref.number = static_cast<int32_t>(p[0].number);
      ref.element = 0;
      result = 0;
      return true;
    }
    return load_var(vars, ref, p[0].number, result);
  } else if constexpr (S == FastShape::kVarOp && !Target) {
    if (!load_var(vars, ref, p[0].number, x)) return false;
    result = apply_binary(p[1].op, x, p[1].imm);
    return true;
  } else if constexpr (S == FastShape::kVarOpOp && !Target) {
    if (!load_var(vars, ref, p[0].number, x)) return false;
    result = apply_binary(p[2].op, apply_binary(p[1].op, x, p[1].imm), p[2].imm);
    return true;
  } else if constexpr (S == FastShape::kElementByVar) {
    if (!load_var(vars, ref, p[0].number, x) || !name_element1(vars, ref, p[1].number, x)) return false;
    if constexpr (Target) {
      result = 0;
      return true;
    }
    return read_element(vars, ref, p[1].number, result);
  } else if constexpr (S == FastShape::kElementByVarOp && !Target) {
    if (!load_var(vars, ref, p[0].number, x) || !name_element1(vars, ref, p[1].number, x) ||
        !read_element(vars, ref, p[1].number, x))
      return false;
    result = apply_binary(p[2].op, x, p[2].imm);
    return true;
  } else {
    return run_steps<Target>(vars, ref, c, result);
  }
}

// run_decoded_as() for whatever shape the form has.
template <bool Target>
inline bool run_decoded(Engine& e, const CompiledExpression& c, int64_t& result) {
  switch (c.shape) {
    case FastShape::kConst: return run_decoded_as<FastShape::kConst, Target>(e, c, result);
    case FastShape::kVar: return run_decoded_as<FastShape::kVar, Target>(e, c, result);
    case FastShape::kVarOp: return run_decoded_as<FastShape::kVarOp, Target>(e, c, result);
    case FastShape::kVarOpOp: return run_decoded_as<FastShape::kVarOpOp, Target>(e, c, result);
    case FastShape::kElementByVar: return run_decoded_as<FastShape::kElementByVar, Target>(e, c, result);
    case FastShape::kElementByVarOp: return run_decoded_as<FastShape::kElementByVarOp, Target>(e, c, result);
    case FastShape::kSteps: break;
  }
  return run_decoded_as<FastShape::kSteps, Target>(e, c, result);
}

// eval_int() for a script expression. Of the evaluator's state a caller
// sees the result, the failed flag and the last variable reference; a
// decoded run leaves them as the token evaluator would.
inline int64_t eval_script_int(Engine& e, std::span<const uint8_t> expr, int selector) {
  EvaluatorState& st = e.eval;
  if ((selector == 1 || selector == 3) && decoded_forms_allowed(st)) {
    const CompiledExpression& c = decoded_expression(st, expr);
    int64_t v;
    if (c.kind == FastKind::kInt && run_decoded<false>(e, c, v)) {
      st.failed = false;
      return v;
    }
  }
  return eval_int(e, expr, selector);
}

// eval_target() for a script expression.
inline void eval_script_target(Engine& e, std::span<const uint8_t> expr, int selector) {
  EvaluatorState& st = e.eval;
  if (selector >= 1 && selector <= 4 && decoded_forms_allowed(st)) {
    const CompiledExpression& c = decoded_expression(st, expr);
    int64_t v;
    if (c.target && run_decoded<true>(e, c, v)) {
      st.failed = false;
      return;
    }
  }
  eval_target(e, expr, selector);
}

// The text of a kText form: the literal's bytes in the script image.
inline std::string_view decoded_text(const CompiledExpression& c) {
  return {reinterpret_cast<const char*>(c.key) + c.text_offset, c.text_length};
}

// eval_text() for a script expression; the view may point into the script
// image (valid while it is loaded) instead of the evaluator's temporary.
inline std::string_view eval_script_text(Engine& e, std::span<const uint8_t> expr, int selector) {
  EvaluatorState& st = e.eval;
  if (selector >= 1 && selector <= 4 && decoded_forms_allowed(st)) {
    const CompiledExpression& c = decoded_expression(st, expr);
    if (c.kind == FastKind::kText) {
      begin_reference(st.ref);
      st.failed = false;
      return decoded_text(c);
    }
  }
  return eval_text(e, expr, selector);
}

}  // namespace nv
