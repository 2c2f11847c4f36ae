#include "tools/writers/expr_encoder.h"

#include <bit>
#include <limits>
#include <string>

#include "formats/sjis_text.h"
#include "tools/writers/write_error.h"

namespace nv::writers {

void Expr::token(uint8_t opcode, std::span<const uint8_t> payload) {
  if (payload.size() > 0xFFFF) throw WriteError("expression token longer than 65535 bytes");
  bytes_.push_back(opcode);
  bytes_.push_back(static_cast<uint8_t>(payload.size()));
  bytes_.push_back(static_cast<uint8_t>(payload.size() >> 8));
  bytes_.insert(bytes_.end(), payload.begin(), payload.end());
}

Expr& Expr::push_int(int64_t v) {
  uint8_t p[8];
  int n;
  uint8_t opcode;
  if (v >= INT8_MIN && v <= INT8_MAX) {
    n = 1, opcode = expr::kPushInt8;
  } else if (v >= INT16_MIN && v <= INT16_MAX) {
    n = 2, opcode = expr::kPushInt16;
  } else if (v >= INT32_MIN && v <= INT32_MAX) {
    n = 4, opcode = expr::kPushInt32;
  } else {
    n = 8, opcode = expr::kPushInt64;
  }
  auto u = static_cast<uint64_t>(v);
  for (int i = 0; i < n; ++i) p[i] = static_cast<uint8_t>(u >> (8 * i));
  token(opcode, std::span<const uint8_t>(p, static_cast<size_t>(n)));
  return *this;
}

Expr& Expr::push_float(double v) {
  uint8_t p[8];
  auto u = std::bit_cast<uint64_t>(v);
  for (int i = 0; i < 8; ++i) p[i] = static_cast<uint8_t>(u >> (8 * i));
  token(expr::kPushFloat, p);
  return *this;
}

Expr& Expr::push_literal(std::string_view literal, char delimiter) {
  for (size_t i = 0; i < literal.size(); ++i) {
    auto c = static_cast<uint8_t>(literal[i]);
    if (sjis::is_lead_byte(c)) {
      if (i + 1 == literal.size()) throw WriteError("string literal ends inside a double-byte character");
      ++i;
      continue;
    }
    if (literal[i] == delimiter) throw WriteError("string literal contains its delimiter");
  }
  Bytes p;
  p.reserve(literal.size() + 2);
  p.push_back(static_cast<uint8_t>(delimiter));
  p.insert(p.end(), literal.begin(), literal.end());
  p.push_back(static_cast<uint8_t>(delimiter));
  token(expr::kPushString, p);
  return *this;
}

Expr& Expr::push_text(std::string_view text) {
  std::string lit;
  lit.reserve(text.size() + 8);
  bool used[128] = {};
  for (size_t i = 0; i < text.size(); ++i) {
    auto c = static_cast<uint8_t>(text[i]);
    if (sjis::is_lead_byte(c)) {
      if (i + 1 == text.size()) throw WriteError("text ends inside a double-byte character");
      lit += text[i];
      lit += text[++i];
      continue;
    }
    if (c < 128) used[c] = true;
    if (c == '\\') {
      lit += "\\\\";
    } else if (c == '\n') {
      lit += "\\n";
    } else if (c == '\t') {
      lit += "\\t";
    } else {
      lit += static_cast<char>(c);
    }
  }
  const char* candidates = "\"'|#$~^@!%&*+=:;?/,.`";
  for (const char* d = candidates; *d; ++d)
    if (!used[static_cast<uint8_t>(*d)]) return push_literal(lit, *d);
  for (int d = 1; d < 128; ++d)
    if (!used[d] && d != '\\' && d != 'n' && d != 't') return push_literal(lit, static_cast<char>(d));
  throw WriteError("no delimiter byte is free for a string literal");
}

void Expr::var_token(uint8_t opcode, uint32_t var, char prefix) {
  if (var > 0xFFFF) throw WriteError("variable number " + std::to_string(var) + " does not fit 16 bits");
  uint8_t p[3] = {static_cast<uint8_t>(prefix), static_cast<uint8_t>(var), static_cast<uint8_t>(var >> 8)};
  token(opcode, p);
}

Expr& Expr::scalar(uint32_t var, char prefix) {
  var_token(expr::kScalar, var, prefix);
  return *this;
}
Expr& Expr::element(uint32_t var, char prefix) {
  var_token(expr::kElementOpen, var, prefix);
  return *this;
}
Expr& Expr::whole(uint32_t var, char prefix) {
  var_token(expr::kWholeVar, var, prefix);
  return *this;
}
Expr& Expr::close() { return op(expr::kElementClose); }

Expr& Expr::op(expr::Op o) {
  token(o, {});
  return *this;
}

Expr& Expr::append(const Expr& other) {
  bytes_.insert(bytes_.end(), other.bytes_.begin(), other.bytes_.end());
  return *this;
}

}  // namespace nv::writers
