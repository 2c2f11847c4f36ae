#include "values/evaluator.h"

#include <cstdio>
#include <cstring>

#include "core/engine.h"
#include "core/error_report.h"
#include "formats/expr_tokens.h"
#include "formats/sjis_text.h"
#include "values/element_reference.h"
#include "values/evaluator_state.h"
#include "values/int_ops.h"
#include "values/system_vars.h"
#include "values/variables.h"

namespace nv {

namespace {

constexpr uint32_t kMaxText = kTextBufferSize - 1;

// Modes 1 and 3 (the odd ones) compute in int64, and so does every index
// expression.
inline bool int_arith(const EvaluatorState& st) { return (st.mode & 1) != 0 || st.nesting > 0; }

// A malformed token string (truncated token, stack over- or underflow, a
// limit of the fixed buffers).
bool data_error(Engine& e) {
  report(e, 900000);
  return false;
}

inline bool push_slot(Engine& e, EvaluatorState& st, int64_t i, double f) {
  if (st.sp >= kStackSlots) return data_error(e);
  ValueSlot& s = st.stack[st.sp++];
  s.i = i;
  s.f = f;
  s.str = 0;
  return true;
}

inline bool push_int(Engine& e, EvaluatorState& st, int64_t v) {
  return int_arith(st) ? push_slot(e, st, v, 0.0) : push_slot(e, st, 0, static_cast<double>(v));
}

bool push_float(Engine& e, EvaluatorState& st, double v) {
  return int_arith(st) ? push_slot(e, st, truncate_to_int(v), 0.0) : push_slot(e, st, 0, v);
}

// A new string temporary; 0 after a report when none is left.
uint16_t new_string(Engine& e, EvaluatorState& st) {
  if (st.next_string >= kStringTemporaries) {
    data_error(e);
    return 0;
  }
  uint16_t id = static_cast<uint16_t>(st.next_string++);
  StringTemp& t = st.strings[id];
  if (!t.buf) t.buf.reset(new char[kTextBufferSize]);
  t.length = 0;
  t.buf[0] = '\0';
  return id;
}

bool push_string_id(Engine& e, EvaluatorState& st, uint16_t id) {
  if (st.sp >= kStackSlots) return data_error(e);
  ValueSlot& s = st.stack[st.sp++];
  s.i = 0;
  s.f = 0.0;
  s.str = id;
  return true;
}

bool push_text(Engine& e, EvaluatorState& st, std::string_view text) {
  if (text.size() > kMaxText) return data_error(e);
  uint16_t id = new_string(e, st);
  if (!id) return false;
  StringTemp& t = st.strings[id];
  if (!text.empty()) std::memcpy(t.buf.get(), text.data(), text.size());
  t.buf[text.size()] = '\0';
  t.length = static_cast<uint32_t>(text.size());
  return push_string_id(e, st, id);
}

// Replaces slot `s` with a new temporary holding `text`.
bool set_slot_text(Engine& e, EvaluatorState& st, ValueSlot& s, std::string_view text) {
  if (text.size() > kMaxText) return data_error(e);
  uint16_t id = new_string(e, st);
  if (!id) return false;
  StringTemp& t = st.strings[id];
  std::memcpy(t.buf.get(), text.data(), text.size());
  t.buf[text.size()] = '\0';
  t.length = static_cast<uint32_t>(text.size());
  s.i = 0;
  s.f = 0.0;
  s.str = id;
  return true;
}

std::string_view slot_text(const EvaluatorState& st, const ValueSlot& s) {
  const StringTemp& t = st.strings[s.str];
  return {t.buf.get(), t.length};
}

// --- constants ---------------------------------------------------------

template <uint32_t Width>
bool tok_const(Engine& e, EvaluatorState& st, const uint8_t* p, uint32_t len) {
  if (len < Width) return data_error(e);
  return push_int(e, st, int_ops::payload_int(p, Width));
}

bool tok_float(Engine& e, EvaluatorState& st, const uint8_t* p, uint32_t len) {
  if (len < 8) return data_error(e);
  double d;
  std::memcpy(&d, p, 8);
  return push_float(e, st, d);
}

bool tok_literal(Engine& e, EvaluatorState& st, const uint8_t* p, uint32_t len) {
  if (len < 1) return data_error(e);
  uint8_t delim = p[0];
  uint16_t id = new_string(e, st);
  if (!id) return false;
  char* out = st.strings[id].buf.get();
  uint32_t n = 0;
  for (uint32_t k = 1; k < len;) {
    uint8_t b = p[k];
    if (b == delim) break;
    if (sjis::is_lead_byte(b) && k + 1 < len) {
      if (n + 2 > kMaxText) return data_error(e);
      out[n++] = static_cast<char>(b);
      out[n++] = static_cast<char>(p[k + 1]);
      k += 2;
      continue;
    }
    if (b == '\\' && k + 1 < len) {
      uint8_t c = p[k + 1];
      if (c == '\\' || c == 'n' || c == 't') {
        if (n + 1 > kMaxText) return data_error(e);
        out[n++] = c == '\\' ? '\\' : c == 'n' ? '\n' : '\t';
        k += 2;
        continue;
      }
      ++k;  // the backslash is dropped; the next byte is read as usual
      continue;
    }
    if (n + 1 > kMaxText) return data_error(e);
    out[n++] = static_cast<char>(b);
    ++k;
  }
  out[n] = '\0';
  st.strings[id].length = n;
  return push_string_id(e, st, id);
}

// --- variables ---------------------------------------------------------

struct VarToken {
  uint8_t prefix;
  uint32_t number;
};

// Decodes a variable token's payload and checks that the variable exists.
// `check` is false where declaration mode skips the check.
inline bool var_token(Engine& e, EvaluatorState& st, const uint8_t* p, uint32_t len, bool check, VarToken& out) {
  if (st.constant_only) {
    st.not_constant = true;
    return false;
  }
  if (len < 3) return data_error(e);
  out.prefix = p[0];
  out.number = uint32_t(p[1]) | (uint32_t(p[2]) << 8);
  if (check && out.number >= kFirstUserVariable && !e.vars.find(out.number)) {
    report(e, 108010);
    return false;
  }
  return true;
}

// Pushes element `k` of a system variable, a float, text or untyped one.
bool push_other_element(Engine& e, EvaluatorState& st, uint32_t number, int64_t k, Variable* v) {
  int8_t type = v ? v->type : static_cast<int8_t>(kVarNone);
  if (number < kFirstUserVariable) {
    switch (type) {
      case kVarInt: return push_int(e, st, read_system_int(e, number, k));
      case kVarFloat: return push_float(e, st, read_system_float(e, number, k));
      case kVarString: {
        // The live text is stored into the variable's own element first, so
        // that a system text behaves like any text variable afterwards.
        read_system_text(e, number, k, st.system_text);
        if (k >= 0 && static_cast<size_t>(k) < v->texts.size()) store_text(v->texts[static_cast<size_t>(k)], st.system_text);
        return push_text(e, st, st.system_text);
      }
      default: return push_int(e, st, 0);
    }
  }
  switch (type) {
    case kVarInt: return push_int(e, st, read_int(*v, k));
    case kVarFloat:
      return int_arith(st) ? push_slot(e, st, read_int(*v, k), 0.0) : push_slot(e, st, 0, read_float(*v, k));
    case kVarString:
      // An assignment target's own text is not read: an empty text stands
      // in for it, whatever its length.
      if (st.target && st.nesting == 0) return push_text(e, st, {});
      return push_text(e, st, read_text(*v, k));
    default: return push_int(e, st, 0);  // declared nowhere yet: a defined 0
  }
}

// Pushes element `k` of variable `number` in the current arithmetic. A user
// integer variable, by far the most frequent, is read here; the rest in the
// function above.
inline bool push_element(Engine& e, EvaluatorState& st, uint32_t number, int64_t k) {
  Variable* v = e.vars.find(number);
  if (number >= kFirstUserVariable && v && v->type == kVarInt) return push_int(e, st, read_int(*v, k));
  return push_other_element(e, st, number, k, v);
}

bool tok_scalar(Engine& e, EvaluatorState& st, const uint8_t* p, uint32_t len) {
  bool decl = st.declaration && st.nesting == 0;
  VarToken t;
  if (!var_token(e, st, p, len, !decl, t)) return false;
  st.ref.number = static_cast<int32_t>(t.number);
  st.ref.element = 0;
  if (decl) return true;
  return push_element(e, st, t.number, 0);
}

bool tok_open(Engine& e, EvaluatorState& st, const uint8_t* p, uint32_t len) {
  bool decl = st.declaration && st.nesting == 0;
  VarToken t;
  if (!var_token(e, st, p, len, !decl, t)) return false;
  if (st.nesting >= kMaxNesting) return data_error(e);
  ElementLevel& level = st.levels[static_cast<size_t>(st.nesting)];
  level.sp = st.sp;
  level.number = t.number;
  level.prefix = t.prefix;
  if (!push_slot(e, st, 0, 0.0)) return false;
  ++st.nesting;
  return true;
}

bool tok_close(Engine& e, EvaluatorState& st, const uint8_t*, uint32_t) {
  if (st.nesting <= 0) return data_error(e);
  --st.nesting;
  const ElementLevel& level = st.levels[static_cast<size_t>(st.nesting)];
  uint32_t first = level.sp + 1;
  uint32_t count = st.sp > first ? st.sp - first : 0;
  for (uint32_t k = 0; k < count; ++k) {
    if (st.stack[first + k].str) {
      report(e, 160010);
      return false;
    }
  }
  const ValueSlot* indexes = &st.stack[first];
  auto index = [indexes](uint32_t k) { return indexes[k].i; };
  if (st.declaration && st.nesting == 0) {
    // Shape only: the reference is recorded, no element is looked for.
    record_element_reference(st.ref, level.number, count, index);
    st.sp = level.sp;
    return true;
  }
  if (!close_element_reference(st.ref, level.number, e.vars.find(level.number), count, index)) {
    report(e, 107010);
    return false;
  }
  st.sp = level.sp;
  return push_element(e, st, level.number, st.ref.element);
}

bool tok_whole(Engine& e, EvaluatorState& st, const uint8_t* p, uint32_t len) {
  VarToken t;
  if (!var_token(e, st, p, len, true, t)) return false;
  st.ref.number = static_cast<int32_t>(t.number);
  st.ref.element = 0;
  st.ref.whole = true;
  return push_slot(e, st, 0, 0.0);
}

// --- operators ---------------------------------------------------------

bool tok_negate(Engine& e, EvaluatorState& st, const uint8_t*, uint32_t) {
  if (st.sp < 1) return data_error(e);
  ValueSlot& s = st.stack[st.sp - 1];
  if (int_arith(st)) s.i = int_ops::neg(s.i);
  else s.f = -s.f;
  return true;
}

bool tok_to_string(Engine& e, EvaluatorState& st, const uint8_t*, uint32_t) {
  if (st.sp < 1) return data_error(e);
  ValueSlot& s = st.stack[st.sp - 1];
  if (s.str) return true;
  char buf[512];
  int n = int_arith(st) ? std::snprintf(buf, sizeof buf, "%lld", static_cast<long long>(s.i))
                        : std::snprintf(buf, sizeof buf, "%f", s.f);
  if (n < 0 || n >= static_cast<int>(sizeof buf)) return data_error(e);
  return set_slot_text(e, st, s, std::string_view(buf, static_cast<size_t>(n)));
}

int64_t parse_decimal(std::string_view t) {
  size_t k = 0;
  while (k < t.size() && (t[k] == ' ' || (t[k] >= '\t' && t[k] <= '\r'))) ++k;
  bool neg = false;
  if (k < t.size() && (t[k] == '+' || t[k] == '-')) neg = t[k++] == '-';
  // Saturates at the int64 range, as the C library's conversion does.
  uint64_t limit = neg ? uint64_t(1) << 63 : (uint64_t(1) << 63) - 1;
  uint64_t v = 0;
  for (; k < t.size() && t[k] >= '0' && t[k] <= '9'; ++k) {
    uint64_t d = static_cast<uint64_t>(t[k] - '0');
    v = (v > (limit - d) / 10) ? limit : v * 10 + d;
  }
  return neg ? static_cast<int64_t>(0 - v) : static_cast<int64_t>(v);
}

bool tok_to_integer(Engine& e, EvaluatorState& st, const uint8_t*, uint32_t) {
  if (st.sp < 1) return data_error(e);
  ValueSlot& s = st.stack[st.sp - 1];
  if (!s.str) return true;
  int64_t v = parse_decimal(slot_text(st, s));
  s.str = 0;
  if (int_arith(st)) {
    s.i = v;
    s.f = 0.0;
  } else {
    s.i = 0;
    s.f = static_cast<double>(v);
  }
  return true;
}

// Pops the right operand; `l` and `r` are the left (the result slot) and right.
inline bool pop2(Engine& e, EvaluatorState& st, ValueSlot*& l, ValueSlot*& r) {
  if (st.sp < 2) return data_error(e);
  --st.sp;
  r = &st.stack[st.sp];
  l = &st.stack[st.sp - 1];
  return true;
}

void set_number(ValueSlot& s, bool ia, int64_t i, double f) {
  s.str = 0;
  if (ia) {
    s.i = i;
    s.f = 0.0;
  } else {
    s.i = 0;
    s.f = f;
  }
}

void set_truth(const EvaluatorState& st, ValueSlot& s, bool v) { set_number(s, int_arith(st), v, v ? 1.0 : 0.0); }

bool tok_add(Engine& e, EvaluatorState& st, const uint8_t*, uint32_t) {
  ValueSlot *l, *r;
  if (!pop2(e, st, l, r)) return false;
  if (l->str && r->str) {
    StringTemp& t = st.strings[l->str];
    std::string_view right = slot_text(st, *r);
    if (t.length + right.size() > kMaxText) return data_error(e);
    std::memmove(t.buf.get() + t.length, right.data(), right.size());
    t.length += static_cast<uint32_t>(right.size());
    t.buf[t.length] = '\0';
    return true;
  }
  if (l->str || r->str) {
    report(e, 160010);
    return false;
  }
  if (int_arith(st)) l->i = int_ops::add(l->i, r->i);
  else l->f += r->f;
  return true;
}

template <bool Equal>
bool tok_equality(Engine& e, EvaluatorState& st, const uint8_t*, uint32_t) {
  ValueSlot *l, *r;
  if (!pop2(e, st, l, r)) return false;
  bool same;
  if (l->str && r->str) {
    same = slot_text(st, *l) == slot_text(st, *r);
  } else if (l->str || r->str) {
    report(e, 160010);
    return false;
  } else {
    same = int_arith(st) ? l->i == r->i : l->f == r->f;
  }
  set_truth(st, *l, Equal ? same : !same);
  return true;
}

enum class Cmp { gt, lt, ge, le };

template <Cmp C>
bool tok_compare(Engine& e, EvaluatorState& st, const uint8_t*, uint32_t) {
  ValueSlot *l, *r;
  if (!pop2(e, st, l, r)) return false;
  bool v;
  if (int_arith(st)) {
    int64_t a = l->i, b = r->i;
    v = C == Cmp::gt ? a > b : C == Cmp::lt ? a < b : C == Cmp::ge ? a >= b : a <= b;
  } else {
    double a = l->f, b = r->f;
    v = C == Cmp::gt ? a > b : C == Cmp::lt ? a < b : C == Cmp::ge ? a >= b : a <= b;
  }
  set_truth(st, *l, v);
  return true;
}

bool tok_sub(Engine& e, EvaluatorState& st, const uint8_t*, uint32_t) {
  ValueSlot *l, *r;
  if (!pop2(e, st, l, r)) return false;
  bool ia = int_arith(st);
  set_number(*l, ia, int_ops::sub(l->i, r->i), l->f - r->f);
  return true;
}

bool tok_mul(Engine& e, EvaluatorState& st, const uint8_t*, uint32_t) {
  ValueSlot *l, *r;
  if (!pop2(e, st, l, r)) return false;
  bool ia = int_arith(st);
  set_number(*l, ia, int_ops::mul(l->i, r->i), l->f * r->f);
  return true;
}

bool tok_div(Engine& e, EvaluatorState& st, const uint8_t*, uint32_t) {
  ValueSlot *l, *r;
  if (!pop2(e, st, l, r)) return false;
  if (int_arith(st)) {
    set_number(*l, true, int_ops::div(l->i, r->i), 0.0);
  } else {
    set_number(*l, false, 0, r->f == 0.0 ? 0.0 : l->f / r->f);
  }
  return true;
}

bool tok_rem(Engine& e, EvaluatorState& st, const uint8_t*, uint32_t) {
  ValueSlot *l, *r;
  if (!pop2(e, st, l, r)) return false;
  if (int_arith(st)) set_number(*l, true, int_ops::rem(l->i, r->i), 0.0);
  return true;  // double arithmetic: the left operand unchanged
}

enum class Bit { and_, or_, xor_ };

template <Bit B>
bool tok_bitwise(Engine& e, EvaluatorState& st, const uint8_t*, uint32_t) {
  ValueSlot *l, *r;
  if (!pop2(e, st, l, r)) return false;
  if (int_arith(st)) {
    int64_t a = l->i, b = r->i;
    set_number(*l, true, B == Bit::and_ ? (a & b) : B == Bit::or_ ? (a | b) : (a ^ b), 0.0);
  }
  return true;
}

template <bool And>
bool tok_logical(Engine& e, EvaluatorState& st, const uint8_t*, uint32_t) {
  ValueSlot *l, *r;
  if (!pop2(e, st, l, r)) return false;
  bool ia = int_arith(st);
  bool a = ia ? l->i != 0 : l->f != 0.0;
  bool b = ia ? r->i != 0 : r->f != 0.0;
  set_truth(st, *l, And ? (a && b) : (a || b));
  return true;
}

bool tok_unknown(Engine& e, EvaluatorState&, const uint8_t*, uint32_t) {
  report(e, 900030);
  return false;
}

// One token. A switch over the opcode byte rather than a table of function
// pointers: the compiler turns it into the same jump table, and the small
// handlers are inlined into the loop instead of being called through it.
inline bool run_token(Engine& e, EvaluatorState& st, uint8_t op, const uint8_t* p, uint32_t len) {
  using namespace expr;
  switch (op) {
    case kPushInt8: return tok_const<1>(e, st, p, len);
    case kPushInt16: return tok_const<2>(e, st, p, len);
    case kPushInt32: return tok_const<4>(e, st, p, len);
    case kPushInt64: return tok_const<8>(e, st, p, len);
    case kPushFloat: return tok_float(e, st, p, len);
    case kPushString: return tok_literal(e, st, p, len);
    case kScalar: return tok_scalar(e, st, p, len);
    case kElementOpen: return tok_open(e, st, p, len);
    case kElementClose: return tok_close(e, st, p, len);
    case kWholeVar: return tok_whole(e, st, p, len);
    case kNegate: return tok_negate(e, st, p, len);
    case kToString: return tok_to_string(e, st, p, len);
    case kToInteger: return tok_to_integer(e, st, p, len);
    case kAdd: return tok_add(e, st, p, len);
    case kSub: return tok_sub(e, st, p, len);
    case kMul: return tok_mul(e, st, p, len);
    case kDiv: return tok_div(e, st, p, len);
    case kRem: return tok_rem(e, st, p, len);
    case kEqual: return tok_equality<true>(e, st, p, len);
    case kNotEqual: return tok_equality<false>(e, st, p, len);
    case kGreater: return tok_compare<Cmp::gt>(e, st, p, len);
    case kLess: return tok_compare<Cmp::lt>(e, st, p, len);
    case kGreaterEqual: return tok_compare<Cmp::ge>(e, st, p, len);
    case kLessEqual: return tok_compare<Cmp::le>(e, st, p, len);
    case kBitAnd: return tok_bitwise<Bit::and_>(e, st, p, len);
    case kBitOr: return tok_bitwise<Bit::or_>(e, st, p, len);
    case kBitXor: return tok_bitwise<Bit::xor_>(e, st, p, len);
    case kLogicalAnd: return tok_logical<true>(e, st, p, len);
    case kLogicalOr: return tok_logical<false>(e, st, p, len);
    case kNoOp: return true;
    default: return tok_unknown(e, st, p, len);
  }
}

// --- entry tables ------------------------------------------------------

// The numeric entries of selectors 1 and 3 compute in int64, those of 2 and
// 4 in double; the string entries of 1 to 3 in int64, of 4 in double.
constexpr bool float_selector(int selector) { return selector == 2 || selector == 4; }
constexpr int kStringModes[5] = {0, 3, 3, 3, 4};

bool valid_selector(Engine& e, int selector) {
  if (selector >= 1 && selector <= 4) return true;
  e.eval.failed = true;  // callers check this flag, not the report
  report(e, 900000);
  return false;
}

}  // namespace

bool evaluate(Engine& e, std::span<const uint8_t> expr, int mode) {
  EvaluatorState& st = e.eval;
  st.mode = mode;
  st.sp = 0;
  st.next_string = 1;
  st.nesting = 0;
  st.not_constant = false;
  st.failed = false;
  begin_reference(st.ref);
  st.stack[0] = ValueSlot{};
  const uint8_t* p = expr.data();
  const uint8_t* const end = p + expr.size();
  while (p != end) {
    if (end - p < expr::kTokenHeader) {
      data_error(e);
      st.failed = true;
      break;
    }
    uint8_t op = p[0];
    uint32_t len = uint32_t(p[1]) | (uint32_t(p[2]) << 8);
    const uint8_t* body = p + expr::kTokenHeader;
    if (len > static_cast<size_t>(end - body)) {
      data_error(e);
      st.failed = true;
      break;
    }
    if (!run_token(e, st, op, body, len)) {
      st.failed = true;
      break;
    }
    p = body + len;
  }
  return !st.failed;
}

// The result is slot 0 of the stack; its place is looked up before the
// evaluation, not after it.
int64_t eval_int(Engine& e, std::span<const uint8_t> expr, int selector) {
  if (!valid_selector(e, selector)) return 0;
  const ValueSlot& result = e.eval.stack[0];
  if (!float_selector(selector)) {
    evaluate(e, expr, expr::kModeInt);
    return result.i;
  }
  evaluate(e, expr, expr::kModeFloat);
  return truncate_to_int(result.f);
}

void eval_target(Engine& e, std::span<const uint8_t> expr, int selector) {
  e.eval.target = true;
  eval_int(e, expr, selector);
  e.eval.target = false;
}

double eval_float(Engine& e, std::span<const uint8_t> expr, int selector) {
  if (!valid_selector(e, selector)) return 0.0;
  const ValueSlot& result = e.eval.stack[0];
  if (!float_selector(selector)) {
    evaluate(e, expr, expr::kModeInt);
    return static_cast<double>(result.i);
  }
  evaluate(e, expr, expr::kModeFloat);
  return result.f;
}

namespace {

// Evaluates with the string table; false when slot 0 holds a number (or the
// selector is invalid, reported), else `text` views the string temporary.
bool string_result(Engine& e, std::span<const uint8_t> expr, int selector, std::string_view& text) {
  if (!valid_selector(e, selector)) return false;
  evaluate(e, expr, kStringModes[selector]);
  const ValueSlot& s = e.eval.stack[0];
  if (!s.str) return false;
  text = slot_text(e.eval, s);
  return true;
}

}  // namespace

std::string_view eval_text(Engine& e, std::span<const uint8_t> expr, int selector) {
  std::string_view text;
  return string_result(e, expr, selector, text) ? text : std::string_view();
}

size_t eval_string(Engine& e, std::span<const uint8_t> expr, int selector, char* out) {
  std::string_view text;
  if (!string_result(e, expr, selector, text)) return 0;
  std::memcpy(out, text.data(), text.size());
  out[text.size()] = '\0';
  return text.size();
}

}  // namespace nv
