// Builds compiled expressions: postfix token strings of opcode, uint16
// payload length and payload (the opcodes are in formats/expr_tokens.h).
//
//   Expr e;                          // `a + 1` with a = variable 1000
//   e.scalar(1000).push_int(1).op(expr::kAdd);
//   Expr s = Expr::text("hello");    // a string literal
//   Expr el;                         // b[i * 2] with b = 1001, i = 1002
//   el.element(1001).scalar(1002).push_int(2).op(expr::kMul).close();
//
// Every method returns *this so calls chain. Limits of the format (payload
// lengths, variable numbers) throw WriteError.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "formats/byte_writer.h"
#include "formats/expr_tokens.h"

namespace nv::writers {

class Expr {
 public:
  Expr() = default;

  // A constant in the smallest of B, W, I, L that holds it.
  Expr& push_int(int64_t v);
  Expr& push_float(double v);
  // A string literal whose bytes (Shift-JIS, in the literal syntax the
  // evaluator reads: \\, \n and \t escapes) are stored as given between two
  // delimiter bytes. The text must not contain the delimiter outside
  // double-byte characters.
  Expr& push_literal(std::string_view literal, char delimiter = '"');
  // A string literal that evaluates to exactly `text` (Shift-JIS): escapes
  // backslashes, line feeds and tabs and picks a delimiter the text lacks.
  Expr& push_text(std::string_view text);

  // Variables; `prefix` is the sigil of the source (recorded, not used).
  Expr& scalar(uint32_t var, char prefix = '`');   // H: element 0
  Expr& element(uint32_t var, char prefix = '`');  // V: indexes follow, then close()
  Expr& close();                                   // ): pushes the element
  Expr& whole(uint32_t var, char prefix = '`');    // v: the whole variable

  // Any operator without payload (kAdd, kNegate, kToString, kNoOp ...).
  Expr& op(expr::Op o);
  Expr& append(const Expr& other);

  static Expr integer(int64_t v) { return Expr().push_int(v); }
  static Expr real(double v) { return Expr().push_float(v); }
  static Expr text(std::string_view sjis) { return Expr().push_text(sjis); }
  static Expr var(uint32_t v) { return Expr().scalar(v); }

  const Bytes& bytes() const { return bytes_; }
  size_t size() const { return bytes_.size(); }
  bool empty() const { return bytes_.empty(); }

 private:
  void token(uint8_t opcode, std::span<const uint8_t> payload);
  void var_token(uint8_t opcode, uint32_t var, char prefix);
  Bytes bytes_;
};

}  // namespace nv::writers
