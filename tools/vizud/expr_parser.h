// Infix expression parser (precedence climbing) over the tokens of a line.
// Precedence from loosest: ||, &&, |, ^, &, == !=, < > <= >=, + -, * / %,
// unary - + ! ~, then postfix indexes a[i][j] (or a[i, j]) and calls f(x).
#pragma once

#include <string>
#include <vector>

#include "tools/vizud/expr_ast.h"
#include "tools/vizud/lexer.h"

namespace nv::vizud {

struct ParseError {
  size_t offset = 0;
  std::string message;  // UTF-8
};

class ExprParser {
 public:
  ExprParser(const std::vector<Token>& toks, size_t& pos, ExprArena& arena)
      : toks_(toks), pos_(pos), arena_(arena) {}

  // Parses one expression starting at the current token; stops at the first
  // token that cannot continue it (so "X=1 Y=2" parses "1" and stops at Y).
  // Returns the node index, or -1 with `error` set.
  int parse(ParseError& error);

 private:
  int parse_binary(int min_prec);
  int parse_unary();
  int parse_postfix(int base);
  int parse_primary();
  const Token& peek() const { return toks_[pos_]; }
  bool fail(size_t offset, std::string msg);

  const std::vector<Token>& toks_;
  size_t& pos_;
  ExprArena& arena_;
  ParseError* error_ = nullptr;
  int depth_ = 0;
};

// Binding strength of a binary operator spelling, 0 when it is none.
int binary_precedence(const std::string& op);

}  // namespace nv::vizud
