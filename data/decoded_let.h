// LET instructions decoded once: both expressions' decoded forms and the
// operator, kept in a direct-mapped table keyed by the address of the
// instruction's argument records (immutable while the script is loaded)
// and checked against EvaluatorState::generation, which advances whenever
// scripts load. LET takes the decoded form when its checks hold and runs
// the general way otherwise.
#pragma once

#include <cstdint>

#include "values/script_expressions.h"

namespace nv::data {

enum class LetForm : uint8_t {
  kGeneral,  // run the general way
  kInteger,  // integer target, integer source of the integer table
  kText,     // text target, a plain literal source, = or +=
};

struct DecodedLet {
  const uint8_t* key = nullptr;  // the instruction's first argument record
  uint32_t generation = 0;
  LetForm form = LetForm::kGeneral;
  uint8_t code = 0;  // the assignment operator
  CompiledExpression target;
  CompiledExpression source;
};

constexpr uint32_t kLetSlots = 256;

}  // namespace nv::data
