#include "values/script_expressions.h"

#include <cstring>

#include "core/engine.h"
#include "formats/expr_tokens.h"
#include "values/element_reference.h"
#include "values/evaluator.h"
#include "values/evaluator_state.h"
#include "values/int_ops.h"
#include "values/variables.h"

namespace nv {

void CompiledExpressionsDeleter::operator()(CompiledExpressions* c) const { delete c; }

namespace {

FastOp binary_op(uint8_t op) {
  using namespace expr;
  switch (op) {
    case kAdd: return FastOp::kAdd;
    case kSub: return FastOp::kSub;
    case kMul: return FastOp::kMul;
    case kDiv: return FastOp::kDiv;
    case kRem: return FastOp::kRem;
    case kEqual: return FastOp::kEq;
    case kNotEqual: return FastOp::kNe;
    case kGreater: return FastOp::kGt;
    case kLess: return FastOp::kLt;
    case kGreaterEqual: return FastOp::kGe;
    case kLessEqual: return FastOp::kLe;
    case kBitAnd: return FastOp::kBitAnd;
    case kBitOr: return FastOp::kBitOr;
    case kBitXor: return FastOp::kBitXor;
    case kLogicalAnd: return FastOp::kAnd;
    case kLogicalOr: return FastOp::kOr;
    default: return FastOp::kConst;  // not a binary operator
  }
}

// A lone string literal whose bytes are its text: no escapes, no
// double-byte characters.
bool compile_literal(std::span<const uint8_t> expr, CompiledExpression& c) {
  if (expr.size() < size_t(expr::kTokenHeader) + 1 || expr[0] != expr::kPushString) return false;
  uint32_t len = uint32_t(expr[1]) | (uint32_t(expr[2]) << 8);
  if (len + size_t(expr::kTokenHeader) != expr.size()) return false;
  const uint8_t* body = expr.data() + expr::kTokenHeader;
  uint32_t n = 1;
  while (n < len && body[n] != body[0]) {
    if (body[n] >= 0x80 || body[n] == '\\') return false;
    ++n;
  }
  if (n - 1 >= kTextBufferSize) return false;  // too long for a temporary: reported by the evaluator
  c.kind = FastKind::kText;
  c.text_offset = expr::kTokenHeader + 1;
  c.text_length = n - 1;
  return true;
}

bool is_binary(const FastStep& s) { return s.op >= FastOp::kAdd; }

FastShape shape_of(const CompiledExpression& c) {
  const FastStep* p = c.step.data();
  const bool var_first = p[0].op == FastOp::kVar;
  const bool element1 = c.steps >= 2 && p[1].op == FastOp::kElement && p[1].count == 1;
  switch (c.steps) {
    case 1:
      if (p[0].op == FastOp::kConst) return FastShape::kConst;
      if (var_first) return FastShape::kVar;
      break;
    case 2:
      if (var_first && is_binary(p[1]) && p[1].count == 1) return FastShape::kVarOp;
      if (var_first && element1) return FastShape::kElementByVar;
      break;
    case 3:
      if (var_first && is_binary(p[1]) && p[1].count == 1 && is_binary(p[2]) && p[2].count == 1)
        return FastShape::kVarOpOp;
      if (var_first && element1 && is_binary(p[2]) && p[2].count == 1) return FastShape::kElementByVarOp;
      break;
    default: break;
  }
  return FastShape::kSteps;
}

// Integer steps for the integer table (modes 1 and 3 compute in int64).
bool compile_steps(std::span<const uint8_t> expr, CompiledExpression& c) {
  using namespace expr;
  struct Open {
    int depth;
    uint32_t number;
  };
  std::array<Open, kMaxFastDepth> opens{};
  int open_count = 0;
  int depth = 0;
  uint8_t n = 0;
  uint32_t max_number = 0;
  auto emit = [&](FastOp op, uint8_t count, uint32_t number, int64_t imm) {
    if (n >= kMaxFastSteps) return false;
    c.step[n++] = FastStep{op, count, number, imm};
    return true;
  };
  auto var_number = [&](const uint8_t* body, uint32_t len, uint32_t& number) {
    if (len < 3) return false;
    number = uint32_t(body[1]) | (uint32_t(body[2]) << 8);
    if (number < kFirstUserVariable) return false;  // system variables: the general evaluator
    if (number > max_number) max_number = number;
    return true;
  };
  const uint8_t* p = expr.data();
  const uint8_t* const end = p + expr.size();
  while (p != end) {
    if (end - p < kTokenHeader) return false;
    const uint8_t op = p[0];
    const uint32_t len = uint32_t(p[1]) | (uint32_t(p[2]) << 8);
    const uint8_t* body = p + kTokenHeader;
    if (len > static_cast<size_t>(end - body)) return false;
    p = body + len;
    // Operators never reach below the innermost open element reference.
    const int floor = open_count ? opens[size_t(open_count - 1)].depth : 0;
    switch (op) {
      case kPushInt8:
      case kPushInt16:
      case kPushInt32:
      case kPushInt64: {
        const uint32_t width = op == kPushInt8 ? 1 : op == kPushInt16 ? 2 : op == kPushInt32 ? 4 : 8;
        if (len < width || !emit(FastOp::kConst, 0, 0, int_ops::payload_int(body, width))) return false;
        ++depth;
        break;
      }
      case kPushFloat: {
        if (len < 8) return false;
        double d;
        std::memcpy(&d, body, 8);
        if (!emit(FastOp::kConst, 0, 0, truncate_to_int(d))) return false;
        ++depth;
        break;
      }
      case kScalar: {
        uint32_t number;
        if (!var_number(body, len, number) || !emit(FastOp::kVar, 0, number, 0)) return false;
        ++depth;
        break;
      }
      case kElementOpen: {
        uint32_t number;
        if (!var_number(body, len, number) || open_count >= kMaxFastDepth) return false;
        opens[size_t(open_count++)] = {depth, number};
        break;
      }
      case kElementClose: {
        if (open_count == 0) return false;
        const Open o = opens[size_t(--open_count)];
        const int count = depth - o.depth;
        if (count > kRecordedIndexes || !emit(FastOp::kElement, uint8_t(count), o.number, 0)) return false;
        depth = o.depth + 1;
        break;
      }
      case kNegate:
        if (depth - floor < 1) return false;
        if (n > 0 && c.step[n - 1].op == FastOp::kConst) c.step[n - 1].imm = int_ops::neg(c.step[n - 1].imm);
        else if (!emit(FastOp::kNeg, 0, 0, 0)) return false;
        break;
      case kNoOp: break;
      default: {
        const FastOp bin = binary_op(op);
        if (bin == FastOp::kConst || depth - floor < 2) return false;  // strings, whole variables ...
        // A constant right operand is folded into the operator.
        if (c.step[n - 1].op == FastOp::kConst) c.step[n - 1] = FastStep{bin, 1, 0, c.step[n - 1].imm};
        else if (!emit(bin, 0, 0, 0)) return false;
        --depth;
        break;
      }
    }
    if (depth > kMaxFastDepth) return false;
  }
  if (depth != 1 || open_count != 0) return false;
  c.kind = FastKind::kInt;
  c.steps = n;
  c.max_number = max_number;
  const FastOp last = c.step[n - 1].op;
  c.target = last == FastOp::kVar || last == FastOp::kElement;
  c.shape = shape_of(c);
  return true;
}

}  // namespace

void compile_expression(std::span<const uint8_t> expr, CompiledExpression& c) {
  c.key = expr.data();
  c.size = static_cast<uint32_t>(expr.size());
  c.kind = FastKind::kGeneral;
  c.target = false;
  c.shape = FastShape::kSteps;
  c.steps = 0;
  c.max_number = 0;
  if (expr.size() > UINT32_MAX || compile_literal(expr, c)) return;
  if (!compile_steps(expr, c)) {
    c.kind = FastKind::kGeneral;
    c.target = false;
    c.steps = 0;
  }
}

void clear_script_expressions(Engine& e) {
  e.eval.compiled.reset();
}

}  // namespace nv
