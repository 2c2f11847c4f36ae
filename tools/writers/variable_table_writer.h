// nvbin\nvv.nbn, the variable table ("NVVR"): magic, version 404, a uint16
// record count at 8 and from 10 the records: scope byte (1 global, 2
// script), uint16 script number, uint16 variable number, type byte, dimension
// count d, d int32 sizes, then the initial value: int64 (integer), double
// (float), or uint16 length + compiled expression (string). The first 1000
// records are the system variables 0 to 999 with their types and shapes
// (scope 1); the title's variables follow.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "formats/byte_writer.h"
#include "tools/writers/expr_encoder.h"

namespace nv::writers {

namespace vartype {
constexpr uint8_t kNone = 0, kInt = 1, kFloat = 2, kString = 3;
}

constexpr uint8_t kScopeGlobal = 1;
constexpr uint8_t kScopeScript = 2;
constexpr int kSystemVariableCount = 1000;

struct VariableModel {
  uint8_t scope = kScopeGlobal;
  uint16_t script = 0;  // for kScopeScript: the script whose first load creates it
  uint16_t number = 0;
  uint8_t type = vartype::kInt;
  std::vector<int32_t> dims;  // at most 8, each at least 1; empty for a scalar
  int64_t int_value = 0;      // type 1
  double float_value = 0;     // type 2
  Expr string_value;          // type 3: expression giving the text (empty: "")
};

// Type and shape of system variable `number` (0 to 999); scope 1, zero
// initial values.
VariableModel system_variable(uint16_t number);

// System variables, then `variables` (numbers 1000 and above). Throws for a
// system number, more than 8 dimensions, a size below 1, more than 4000000
// elements or more than 65535 records.
Bytes encode_variable_table(std::span<const VariableModel> variables);

}  // namespace nv::writers
