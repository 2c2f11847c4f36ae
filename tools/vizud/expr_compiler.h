// Turns a parsed expression into the engine's postfix token string: names
// resolved to variable numbers, the arithmetic (integer or float) chosen for
// the whole expression, conversions inserted where a keyword or target needs
// another type, and type errors reported with their position.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tools/vizud/expr_ast.h"
#include "tools/vizud/variables.h"
#include "tools/writers/expr_encoder.h"

namespace nv::vizud {

// What the consumer of an expression needs.
enum class Want : uint8_t {
  kValue,    // its own type (a bare array name is a whole-variable reference)
  kInt,      // a number; a text is converted with `i` unless it is a plain variable
  kIntValue, // a number; a text is always converted with `i` (assignment sources)
  kNumber,   // a number; a text is an error (conditions, counts)
  kString,   // a text; a number is converted with `s`
  kTarget,   // a variable or element to be written (LET target)
};

struct CompiledExpr {
  writers::Expr tokens;
  VarType type = VarType::kNone;  // result type after conversions
  bool float_mode = false;        // numbers computed in double
  bool reference = false;         // a bare variable, element or whole variable
  bool whole = false;             // a whole-variable reference
  bool reads_variables = false;
  int var_number = -1;            // the referenced variable when `reference`
  // Evaluator selector for an argument of this expression: 1 integer,
  // 2 float, 3 text in integer arithmetic, 4 text in float arithmetic.
  uint8_t selector() const {
    if (type == VarType::kString) return float_mode ? 4 : 3;
    return float_mode ? 2 : 1;
  }
};

struct LabelRef {
  std::string name;  // Shift-JIS
  size_t offset = 0;
  size_t length = 0;
};

// Where messages go: byte offset and length in the line, UTF-8 text.
using ExprErrorFn = std::function<void(size_t offset, size_t length, const std::string& message)>;

class ExprCompiler {
 public:
  ExprCompiler(const SymbolTable& symbols, int script, ExprErrorFn on_error)
      : symbols_(symbols), script_(script), on_error_(std::move(on_error)) {}

  // Compiles the expression rooted at `root`; false after a message.
  bool compile(const ExprArena& arena, int root, Want want, CompiledExpr& out);

  // The target of a declaration: H for a scalar, V <sizes> ) for an array;
  // the size expressions are compiled as integers.
  bool compile_declaration_target(int number, const ExprArena& arena, const std::vector<int>& size_nodes,
                                  CompiledExpr& out);

  // Label references (*name) met since the last call.
  std::vector<LabelRef>& label_refs() { return label_refs_; }

  // Evaluates a constant numeric expression as the engine would; false if it
  // reads a variable or is not a number. `is_float` tells the arithmetic.
  bool eval_constant(const ExprArena& arena, int root, int64_t& int_value, double& float_value,
                     bool& is_float);

 private:
  struct Info {
    VarType type = VarType::kNone;
    bool whole = false;
  };
  bool infer(const ExprArena& a, int n, bool in_index, Info& out);
  bool infer_node(const ExprArena& a, int n, bool in_index, Info& out);
  void emit(const ExprArena& a, int n, bool in_index, writers::Expr& out);
  bool error(const Node& n, const std::string& msg);
  const VarInfo* lookup(const Node& n);

  const SymbolTable& symbols_;
  int script_;
  ExprErrorFn on_error_;
  std::vector<LabelRef> label_refs_;
  // Per compilation:
  bool has_float_ = false;
  bool reads_vars_ = false;
  std::vector<const Node*> integer_only_ops_;  // % & | ^ ~ outside indexes
  int strings_ = 0;
  int depth_ = 0;
  int max_depth_ = 0;
  int open_refs_ = 0;
  int max_open_refs_ = 0;
  bool float_mode_ = false;
  std::vector<VarType> types_;  // inferred type by node index
};

// Token writers (the engine's postfix format, through the shared encoder).
inline void put_int_constant(writers::Expr& out, int64_t v) { out.push_int(v); }
inline void put_float_constant(writers::Expr& out, double v) { out.push_float(v); }
inline void put_string_constant(writers::Expr& out, std::string_view text) { out.push_text(text); }
void put_variable(writers::Expr& out, char op, int number);
inline void put_op(writers::Expr& out, char op) { out.op(static_cast<expr::Op>(op)); }

}  // namespace nv::vizud
