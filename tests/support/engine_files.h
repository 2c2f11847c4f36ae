// Byte-level builders of engine files and compiled expressions for the
// tests, including deliberately damaged ones.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "formats/checksums.h"
#include "formats/command_table.h"
#include "formats/expr_tokens.h"
#include "formats/script_key.h"
#include "platform/encoding.h"

namespace nv::test {

struct Bytes {
  std::vector<uint8_t> b;
  Bytes& u8(uint32_t v) { b.push_back(static_cast<uint8_t>(v)); return *this; }
  Bytes& u16(uint32_t v) { u8(v); return u8(v >> 8); }
  Bytes& u32(uint32_t v) { u16(v); return u16(v >> 16); }
  Bytes& u64(uint64_t v) { u32(static_cast<uint32_t>(v)); return u32(static_cast<uint32_t>(v >> 32)); }
  Bytes& raw(std::string_view s) { b.insert(b.end(), s.begin(), s.end()); return *this; }
  Bytes& raw(const std::vector<uint8_t>& v) { b.insert(b.end(), v.begin(), v.end()); return *this; }
  Bytes& cstr(std::string_view s) { raw(s); return u8(0); }
  std::string str() const { return std::string(b.begin(), b.end()); }
};

inline std::string sjis(std::string_view utf8) { return platform::utf8_to_sjis(utf8); }

// A compiled expression.
struct Expr {
  std::vector<uint8_t> b;
  Expr& tok(uint8_t op, const std::vector<uint8_t>& payload = {}) {
    b.push_back(op);
    b.push_back(static_cast<uint8_t>(payload.size()));
    b.push_back(static_cast<uint8_t>(payload.size() >> 8));
    b.insert(b.end(), payload.begin(), payload.end());
    return *this;
  }
  Expr& i(int64_t v) {
    std::vector<uint8_t> p(8);
    for (int k = 0; k < 8; ++k) p[k] = static_cast<uint8_t>(static_cast<uint64_t>(v) >> (8 * k));
    return tok(expr::kPushInt64, p);
  }
  Expr& b8(int8_t v) { return tok(expr::kPushInt8, {static_cast<uint8_t>(v)}); }
  Expr& f(double d) {
    std::vector<uint8_t> p(8);
    std::memcpy(p.data(), &d, 8);
    return tok(expr::kPushFloat, p);
  }
  // A literal as stored: delimiter, bytes, delimiter.
  Expr& s(std::string_view text, char delim = '"') {
    std::vector<uint8_t> p;
    p.push_back(static_cast<uint8_t>(delim));
    p.insert(p.end(), text.begin(), text.end());
    p.push_back(static_cast<uint8_t>(delim));
    return tok(expr::kPushString, p);
  }
  Expr& var(uint8_t op, uint32_t n) {
    return tok(op, {'#', static_cast<uint8_t>(n), static_cast<uint8_t>(n >> 8)});
  }
  Expr& H(uint32_t n) { return var(expr::kScalar, n); }
  Expr& V(uint32_t n) { return var(expr::kElementOpen, n); }
  Expr& close() { return tok(expr::kElementClose); }
  Expr& whole(uint32_t n) { return var(expr::kWholeVar, n); }
  Expr& op(char c) { return tok(static_cast<uint8_t>(c)); }
};

// Common header: magic, version 404, count, fourth word.
inline Bytes header(std::string_view magic, uint32_t count, uint32_t fourth = 0, uint32_t version = 404) {
  Bytes h;
  h.raw(magic).u32(version).u32(count).u32(fourth);
  return h;
}

inline std::string error_table_file(const std::vector<std::pair<uint32_t, std::string>>& entries_utf8) {
  Bytes f = header("NVER", static_cast<uint32_t>(entries_utf8.size()));
  for (auto& [code, text] : entries_utf8) f.u32(code).cstr(sjis(text));
  return f.str();
}

inline std::string script_index_file(uint32_t variables, uint32_t second = 0, uint32_t version = 404) {
  return header("NVTD", variables, second, version).str();
}

inline std::string script_list_file(const std::vector<std::pair<uint32_t, std::string>>& scripts) {
  Bytes f;
  f.raw("NVTL").u32(404).u32(static_cast<uint32_t>(scripts.size()));
  for (auto& [n, name] : scripts) {
    f.u32(n).u32(static_cast<uint32_t>(name.size())).raw(name);
    for (int k = 0; k < 16; ++k) f.u8(0);
  }
  return f.str();
}

// One argument record of an instruction under construction.
struct Arg {
  uint8_t keyword;
  Expr expr;
  uint8_t selector = 1;
  uint8_t op = 0;
  int64_t size_override = -1;  // a jump target in the size field
};

struct Instr {
  uint8_t command;
  std::vector<Arg> args;
  int32_t line = 1;
};

// A compiled script (scrambled with the engine's key), written record by
// record so that tests can put anything in it.
std::string script_file(const std::vector<Instr>& code);

// The shipped error table, as the writers encode it.
std::string test_error_table();

// Variable file records.
struct VarRecord {
  VarRecord(uint8_t scope_, uint16_t script_, uint16_t number_, uint8_t type_, std::vector<int32_t> dims_ = {},
            int64_t i = 0, double f = 0, Expr text = {})
      : scope(scope_), script(script_), number(number_), type(type_), dims(std::move(dims_)), init_int(i),
        init_float(f), init_text(std::move(text)) {}
  uint8_t scope;
  uint16_t script;
  uint16_t number;
  uint8_t type;
  std::vector<int32_t> dims;
  int64_t init_int = 0;
  double init_float = 0;
  Expr init_text;
};
std::string variable_file(const std::vector<VarRecord>& records);

}  // namespace nv::test
