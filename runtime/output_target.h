// The variable a command writes its result into: the one the expression of
// its output keyword (usually LET) referenced last. Numbers go into integer
// and float variables (a float is truncated toward zero for an integer
// variable), texts into text variables; an element index outside the
// variable makes the store do nothing. Storing a number into a text
// variable, or anything into an undeclared one, reports 101140.
#pragma once

#include <cstdint>
#include <string_view>

#include "values/variables.h"

namespace nv {

struct Engine;

struct OutputTarget {
  Variable* var = nullptr;  // null: no output keyword, or a system variable
  int64_t element = 0;
  int8_t type() const { return var ? var->type : int8_t(kVarNone); }
};

// The target named by keyword `keyword` of the current instruction.
OutputTarget output_target(Engine& e, int keyword);

// Each returns 0, or -1 after reporting 101140.
int store_int(Engine& e, const OutputTarget& t, int64_t v);
int store_float(Engine& e, const OutputTarget& t, double v);
int store_text(Engine& e, const OutputTarget& t, std::string_view v);
// 0, 0.0 or the empty text, by the variable's type.
int store_zero(Engine& e, const OutputTarget& t);

}  // namespace nv
