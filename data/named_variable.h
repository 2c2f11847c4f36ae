// The variable an argument of the current instruction names (the last
// variable its expression referenced), for commands that read or change a
// variable given by a keyword (VARACT SET, VARINFO SET). System variables
// read their live values through the readers.
#pragma once

#include <cstdint>
#include <string_view>

#include "values/variables.h"

namespace nv {
struct Engine;
}  // namespace nv

namespace nv::data {

struct NamedVariable {
  uint32_t number = 0;
  Variable* var = nullptr;  // null when the keyword is absent or the number is outside the table
  int64_t element = 0;
  int8_t type() const { return var ? var->type : int8_t(kVarNone); }
  bool user() const { return var && number >= kFirstUserVariable; }
};

NamedVariable named_variable(Engine& e, int keyword);

int64_t named_int(Engine& e, const NamedVariable& n, int64_t k);
double named_float(Engine& e, const NamedVariable& n, int64_t k);
// A system text is the one its expression read last (kept in the record).
std::string_view named_text(const NamedVariable& n, int64_t k);

}  // namespace nv::data
