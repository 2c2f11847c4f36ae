#include "tools/vizud/expr_compiler.h"


#include "formats/expr_tokens.h"
#include "formats/sjis_text.h"
#include "platform/encoding.h"

namespace nv::vizud {

namespace {

constexpr char kVariablePrefix = '`';
constexpr int kMaxStack = 1000;      // value stack has 1024 slots
constexpr int kMaxStrings = 1023;    // string temporaries per evaluation
constexpr int kMaxOpenRefs = 127;    // nested element references
constexpr size_t kMaxLiteral = 4095; // the engine's text buffers hold 4096 bytes

bool is_compare(const std::string& op) {
  return op == "==" || op == "!=" || op == "<" || op == ">" || op == "<=" || op == ">=";
}

char opcode_of(const std::string& op) {
  if (op == "+") return expr::kAdd;
  if (op == "-") return expr::kSub;
  if (op == "*") return expr::kMul;
  if (op == "/") return expr::kDiv;
  if (op == "%") return expr::kRem;
  if (op == "==") return expr::kEqual;
  if (op == "!=") return expr::kNotEqual;
  if (op == ">") return expr::kGreater;
  if (op == "<") return expr::kLess;
  if (op == ">=") return expr::kGreaterEqual;
  if (op == "<=") return expr::kLessEqual;
  if (op == "&") return expr::kBitAnd;
  if (op == "|") return expr::kBitOr;
  if (op == "^") return expr::kBitXor;
  if (op == "&&") return expr::kLogicalAnd;
  return expr::kLogicalOr;  // "||"
}

std::string utf8(std::string_view s) { return platform::sjis_to_utf8(s); }

}  // namespace

void put_variable(writers::Expr& out, char op, int number) {
  auto n = static_cast<uint32_t>(number);
  if (op == expr::kScalar) out.scalar(n, kVariablePrefix);
  else if (op == expr::kElementOpen) out.element(n, kVariablePrefix);
  else out.whole(n, kVariablePrefix);
}

bool ExprCompiler::error(const Node& n, const std::string& msg) {
  on_error_(n.offset, n.length, msg);
  return false;
}

const VarInfo* ExprCompiler::lookup(const Node& n) {
  const VarInfo* v = symbols_.find(script_, n.text);
  if (!v || v->type == VarType::kNone) {
    error(n, "unknown variable \"" + utf8(n.text) + "\"");
    return nullptr;
  }
  return v;
}

bool ExprCompiler::infer(const ExprArena& a, int idx, bool in_index, Info& out) {
  bool ok = infer_node(a, idx, in_index, out);
  if (ok) {
    if (types_.size() <= static_cast<size_t>(idx)) types_.resize(static_cast<size_t>(idx) + 1);
    types_[static_cast<size_t>(idx)] = out.type;
  }
  return ok;
}

bool ExprCompiler::infer_node(const ExprArena& a, int idx, bool in_index, Info& out) {
  const Node& n = a[idx];
  out = Info{};
  auto note_float = [&](VarType t) {
    if (t == VarType::kFloat && !in_index) has_float_ = true;
  };
  switch (n.kind) {
    case NodeKind::kInt: out.type = VarType::kInt; return true;
    case NodeKind::kFloat: out.type = VarType::kFloat; note_float(out.type); return true;
    case NodeKind::kString:
      if (n.text.size() > kMaxLiteral) return error(n, "text literal is longer than 4095 bytes");
      ++strings_;
      out.type = VarType::kString;
      return true;
    case NodeKind::kLabel:
      label_refs_.push_back(LabelRef{n.text, n.offset, n.length});
      ++strings_;
      out.type = VarType::kString;
      return true;
    case NodeKind::kName: {
      const VarInfo* v = lookup(n);
      if (!v) return false;
      reads_vars_ = true;
      if (v->dims > 0) {
        out.whole = true;  // only valid as a bare argument; checked by the caller
        out.type = v->type;
        return true;
      }
      if (v->type == VarType::kString) ++strings_;
      out.type = v->type;
      note_float(out.type);
      return true;
    }
    case NodeKind::kIndex: {
      auto kids = a.children(idx);
      const VarInfo* v = lookup(a[kids[0]]);
      if (!v) return false;
      reads_vars_ = true;
      if (v->dims == 0) return error(a[kids[0]], "\"" + utf8(v->name) + "\" is not an array");
      int given = static_cast<int>(kids.size()) - 1;
      if (given != v->dims)
        return error(n, "\"" + utf8(v->name) + "\" has " + std::to_string(v->dims) + " dimension" +
                            (v->dims == 1 ? "" : "s") + " but " + std::to_string(given) +
                            (given == 1 ? " index is" : " indexes are") + " given");
      bool ok = true;
      for (int k = 1; k <= given; ++k) {
        Info ii;
        if (!infer(a, kids[k], true, ii)) { ok = false; continue; }
        if (ii.whole) ok = error(a[kids[k]], "an array cannot be an index");
        else if (ii.type == VarType::kString) ok = error(a[kids[k]], "an index must be a number, not a text");
        const Node& in = a[kids[k]];
        if (in.kind == NodeKind::kInt && v->sizes[k - 1] > 0 &&
            (in.int_value < 0 || in.int_value >= v->sizes[k - 1]))
          ok = error(in, "index " + std::to_string(in.int_value) + " is outside 0.." +
                             std::to_string(v->sizes[k - 1] - 1) + " of \"" + utf8(v->name) + "\"");
      }
      if (!ok) return false;
      if (v->type == VarType::kString) ++strings_;
      out.type = v->type;
      note_float(out.type);
      return true;
    }
    case NodeKind::kUnary: {
      Info x;
      if (!infer(a, n.first, in_index, x)) return false;
      if (x.whole) return error(a[n.first], "an array needs an index here");
      if (x.type == VarType::kString)
        return error(n, "operator \"" + n.op + "\" needs a number, not a text");
      if (n.op == "~" && !in_index) integer_only_ops_.push_back(&n);
      out.type = (n.op == "!") ? VarType::kInt : x.type;
      return true;
    }
    case NodeKind::kBinary: {
      int l = n.first, r = a[n.first].next;
      Info x, y;
      bool okx = infer(a, l, in_index, x);
      bool oky = infer(a, r, in_index, y);
      if (!okx || !oky) return false;
      if (x.whole) return error(a[l], "an array needs an index here");
      if (y.whole) return error(a[r], "an array needs an index here");
      bool xs = x.type == VarType::kString, ys = y.type == VarType::kString;
      const std::string& op = n.op;
      if (xs || ys) {
        if (op == "+" && xs && ys) { out.type = VarType::kString; return true; }
        if ((op == "==" || op == "!=") && xs && ys) { out.type = VarType::kInt; return true; }
        if (xs != ys && (op == "+" || op == "==" || op == "!="))
          return error(n, "operator \"" + op + "\" mixes a text and a number; convert with str() or int()");
        return error(n, "operator \"" + op + "\" needs numbers, not texts");
      }
      if (op == "%" || op == "&" || op == "|" || op == "^") {
        if (!in_index) integer_only_ops_.push_back(&n);
      }
      if (is_compare(op) || op == "&&" || op == "||") out.type = VarType::kInt;
      else out.type = (x.type == VarType::kFloat || y.type == VarType::kFloat) ? VarType::kFloat : VarType::kInt;
      return true;
    }
    case NodeKind::kCall: {
      auto kids = a.children(idx);
      if (n.text != "str" && n.text != "int" && n.text != "flt")
        return error(n, "unknown function \"" + utf8(n.text) + "\" (known: str, int, flt)");
      if (kids.size() != 1) return error(n, n.text + "() takes one argument");
      Info x;
      if (!infer(a, kids[0], in_index, x)) return false;
      if (x.whole) return error(a[kids[0]], "an array needs an index here");
      if (n.text == "str") {
        if (x.type != VarType::kString) ++strings_;
        out.type = VarType::kString;
      } else if (n.text == "int") {
        if (x.type == VarType::kFloat) ++strings_;  // truncated through its text
        out.type = VarType::kInt;
      } else {
        if (x.type == VarType::kString) return error(n, "flt() needs a number; use flt(int(...)) for a text");
        if (!in_index) has_float_ = true;
        out.type = VarType::kFloat;
      }
      return true;
    }
  }
  return false;
}

void ExprCompiler::emit(const ExprArena& a, int idx, bool in_index, writers::Expr& out) {
  const Node& n = a[idx];
  auto push = [&]() {
    if (++depth_ > max_depth_) max_depth_ = depth_;
  };
  switch (n.kind) {
    case NodeKind::kInt: put_int_constant(out, n.int_value); push(); return;
    case NodeKind::kFloat: put_float_constant(out, n.float_value); push(); return;
    case NodeKind::kString:
    case NodeKind::kLabel: put_string_constant(out, n.text); push(); return;
    case NodeKind::kName: {
      const VarInfo* v = symbols_.find(script_, n.text);
      put_variable(out, v->dims > 0 ? expr::kWholeVar : expr::kScalar, v->number);
      push();
      return;
    }
    case NodeKind::kIndex: {
      auto kids = a.children(idx);
      const VarInfo* v = symbols_.find(script_, a[kids[0]].text);
      put_variable(out, expr::kElementOpen, v->number);
      push();
      int base = depth_;
      if (++open_refs_ > max_open_refs_) max_open_refs_ = open_refs_;
      for (size_t k = 1; k < kids.size(); ++k) emit(a, kids[k], true, out);
      --open_refs_;
      put_op(out, expr::kElementClose);
      depth_ = base;
      return;
    }
    case NodeKind::kUnary:
      if (n.op == "-" && a[n.first].kind == NodeKind::kInt) {
        put_int_constant(out, static_cast<int64_t>(0ull - static_cast<uint64_t>(a[n.first].int_value)));
        push();
        return;
      }
      if (n.op == "-" && a[n.first].kind == NodeKind::kFloat) {
        put_float_constant(out, -a[n.first].float_value);
        push();
        return;
      }
      emit(a, n.first, in_index, out);
      if (n.op == "-") put_op(out, expr::kNegate);
      else if (n.op == "!") {
        put_int_constant(out, 0);
        push();
        put_op(out, expr::kEqual);
        --depth_;
      } else if (n.op == "~") {
        put_int_constant(out, -1);
        push();
        put_op(out, expr::kBitXor);
        --depth_;
      }
      return;
    case NodeKind::kBinary:
      emit(a, n.first, in_index, out);
      emit(a, a[n.first].next, in_index, out);
      put_op(out, opcode_of(n.op));
      --depth_;
      return;
    case NodeKind::kCall: {
      int arg = n.first;
      emit(a, arg, in_index, out);
      VarType t = types_[static_cast<size_t>(arg)];  // set by infer()
      if (n.text == "str" && t != VarType::kString) put_op(out, expr::kToString);
      if (n.text == "int") {
        if (t == VarType::kString) put_op(out, expr::kToInteger);
        else if (t == VarType::kFloat && !in_index) {
          // No truncating opcode exists: the fixed-notation text of the
          // value read back as an integer is the value truncated toward zero.
          put_op(out, expr::kToString);
          put_op(out, expr::kToInteger);
        }
      }
      return;
    }
  }
}

bool ExprCompiler::compile(const ExprArena& a, int root, Want want, CompiledExpr& out) {
  out = CompiledExpr{};
  has_float_ = false;
  reads_vars_ = false;
  integer_only_ops_.clear();
  strings_ = 0;
  depth_ = max_depth_ = 0;
  open_refs_ = max_open_refs_ = 0;
  size_t label_mark = label_refs_.size();
  Info info;
  if (!infer(a, root, false, info)) {
    label_refs_.resize(label_mark);
    return false;
  }
  const Node& r = a[root];
  bool is_ref = r.kind == NodeKind::kName || r.kind == NodeKind::kIndex;
  if (info.whole && want != Want::kValue && want != Want::kInt && want != Want::kString)
    return error(r, "array \"" + utf8(r.text) + "\" needs an index here");
  if (want == Want::kTarget && !is_ref) return error(r, "a variable is expected here");
  if (want == Want::kNumber && info.type == VarType::kString)
    return error(r, "a number is expected here, not a text");
  float_mode_ = has_float_;
  if (float_mode_ && !integer_only_ops_.empty()) {
    const Node* op = integer_only_ops_.front();
    return error(*op, "operator \"" + op->op +
                          "\" works on integers only, but this expression computes in float because it "
                          "contains a float value");
  }
  bool convert_to_int = info.type == VarType::kString &&
                        ((want == Want::kInt && !is_ref) || want == Want::kIntValue);
  bool convert_to_string = want == Want::kString && info.type != VarType::kString && !info.whole;
  if (convert_to_string) ++strings_;
  if (strings_ > kMaxStrings) return error(r, "expression uses more than 1023 texts");
  emit(a, root, false, out.tokens);
  if (max_depth_ > kMaxStack) return error(r, "expression is too large for the evaluator's stack");
  if (max_open_refs_ > kMaxOpenRefs) return error(r, "array indexes are nested too deeply");
  out.type = info.type;
  if (convert_to_int) {
    put_op(out.tokens, expr::kToInteger);
    out.type = VarType::kInt;
  }
  if (convert_to_string) {
    put_op(out.tokens, expr::kToString);
    out.type = VarType::kString;
  }
  out.float_mode = float_mode_;
  out.reference = is_ref;
  out.whole = info.whole;
  out.reads_variables = reads_vars_;
  if (is_ref) {
    const Node& name = r.kind == NodeKind::kName ? r : a[r.first];
    out.var_number = symbols_.find(script_, name.text)->number;
  }
  return true;
}

bool ExprCompiler::compile_declaration_target(int number, const ExprArena& a, const std::vector<int>& size_nodes,
                                              CompiledExpr& out) {
  out = CompiledExpr{};
  if (size_nodes.empty()) {
    put_variable(out.tokens, expr::kScalar, number);
    out.type = VarType::kInt;
    return true;
  }
  put_variable(out.tokens, expr::kElementOpen, number);
  for (int s : size_nodes) {
    CompiledExpr dim;
    if (!compile(a, s, Want::kNumber, dim)) return false;
    if (dim.whole) return error(a[s], "an array cannot be a size");
    out.tokens.append(dim.tokens);  // index arithmetic is integer whatever the mode
    out.reads_variables |= dim.reads_variables;
  }
  put_op(out.tokens, expr::kElementClose);
  out.type = VarType::kInt;
  return true;
}

bool ExprCompiler::eval_constant(const ExprArena& a, int root, int64_t& iv, double& fv, bool& is_float) {
  // Values are computed both ways; the caller picks by `is_float`.
  struct V {
    int64_t i;
    double f;
  };
  std::function<bool(int, V&)> ev = [&](int idx, V& v) -> bool {
    const Node& n = a[idx];
    switch (n.kind) {
      case NodeKind::kInt: v = {n.int_value, static_cast<double>(n.int_value)}; return true;
      case NodeKind::kFloat: v = {static_cast<int64_t>(n.float_value), n.float_value}; return true;
      case NodeKind::kUnary: {
        if (!ev(n.first, v)) return false;
        if (n.op == "-") v = {static_cast<int64_t>(0ull - static_cast<uint64_t>(v.i)), -v.f};
        else if (n.op == "!") v = {v.i == 0, v.f == 0.0 ? 1.0 : 0.0};
        else if (n.op == "~") v = {~v.i, v.f};
        return true;
      }
      case NodeKind::kBinary: {
        V x, y;
        if (!ev(n.first, x) || !ev(a[n.first].next, y)) return false;
        auto u = [](int64_t q) { return static_cast<uint64_t>(q); };
        const std::string& op = n.op;
        if (op == "+") v = {static_cast<int64_t>(u(x.i) + u(y.i)), x.f + y.f};
        else if (op == "-") v = {static_cast<int64_t>(u(x.i) - u(y.i)), x.f - y.f};
        else if (op == "*") v = {static_cast<int64_t>(u(x.i) * u(y.i)), x.f * y.f};
        else if (op == "/") v = {y.i == 0 || (x.i == INT64_MIN && y.i == -1) ? (y.i == 0 ? 0 : x.i) : x.i / y.i,
                                 y.f == 0.0 ? 0.0 : x.f / y.f};
        else if (op == "%") v = {y.i == 0 || y.i == -1 ? 0 : x.i % y.i, x.f};
        else if (op == "&") v = {x.i & y.i, x.f};
        else if (op == "|") v = {x.i | y.i, x.f};
        else if (op == "^") v = {x.i ^ y.i, x.f};
        else if (op == "==") v = {x.i == y.i, x.f == y.f ? 1.0 : 0.0};
        else if (op == "!=") v = {x.i != y.i, x.f != y.f ? 1.0 : 0.0};
        else if (op == "<") v = {x.i < y.i, x.f < y.f ? 1.0 : 0.0};
        else if (op == ">") v = {x.i > y.i, x.f > y.f ? 1.0 : 0.0};
        else if (op == "<=") v = {x.i <= y.i, x.f <= y.f ? 1.0 : 0.0};
        else if (op == ">=") v = {x.i >= y.i, x.f >= y.f ? 1.0 : 0.0};
        else if (op == "&&") v = {x.i && y.i, (x.f != 0 && y.f != 0) ? 1.0 : 0.0};
        else v = {x.i || y.i, (x.f != 0 || y.f != 0) ? 1.0 : 0.0};
        return true;
      }
      case NodeKind::kCall:
        if (n.text == "flt" || n.text == "int") {
          if (!ev(n.first, v)) return false;
          if (n.text == "int") v = {v.i, static_cast<double>(static_cast<int64_t>(v.f))};
          return true;
        }
        return false;
      default: return false;
    }
  };
  CompiledExpr probe;
  if (!compile(a, root, Want::kNumber, probe)) return false;
  if (probe.reads_variables) return error(a[root], "the initial value must be a constant");
  V v;
  if (!ev(root, v)) return error(a[root], "the initial value must be a constant number");
  iv = v.i;
  fv = v.f;
  is_float = probe.float_mode;
  return true;
}

}  // namespace nv::vizud
