// INT, FLT and STR: a declaration runs each time its line runs. The target
// record is evaluated in declaration mode, so its index values become the
// new dimension sizes; the second record gives every element's value.
#include <algorithm>
#include <array>

#include "core/engine.h"
#include "core/error_report.h"
#include "data/variable_commands.h"
#include "runtime/instruction_records.h"
#include "values/evaluator.h"
#include "values/evaluator_state.h"
#include "values/variables.h"

namespace nv::data {

namespace {

int declare(Engine& e, int8_t type) {
  if (!require_records(e, 2)) return -1;
  bool ok = true;
  std::span<const uint8_t> target = record_expression(e, 0, ok);
  if (!ok) return -1;
  e.eval.declaration = true;
  eval_int(e, target, 1);
  e.eval.declaration = false;
  if (e.eval.failed) return -1;
  const VarRef ref = e.eval.ref;
  // Declarations name user variables; anything else is a damaged file.
  if (ref.number < static_cast<int32_t>(kFirstUserVariable)) return report(e, 900000);
  if (ref.index_count > kMaxDims) return report(e, 101110);
  std::array<int32_t, kMaxDims> sizes{};
  for (int k = 0; k < ref.index_count; ++k) sizes[static_cast<size_t>(k)] = static_cast<int32_t>(ref.index[static_cast<size_t>(k)]);
  std::span<const int32_t> dims(sizes.data(), static_cast<size_t>(ref.index_count));
  const uint32_t number = static_cast<uint32_t>(ref.number);

  std::span<const uint8_t> init = record_expression(e, 1, ok);
  if (!ok) return -1;
  const int selector = current_record(e, 1).selector();
  switch (type) {
    case kVarInt: {
      int64_t v = eval_int(e, init, selector);
      return e.eval.failed ? -1 : create_integer(e, number, dims, v);
    }
    case kVarFloat: {
      double v = eval_float(e, init, selector);
      return e.eval.failed ? -1 : create_float(e, number, dims, v);
    }
    default: {
      // Stored straight from the evaluator's temporary; a number gives "".
      std::string_view text = eval_text(e, init, 3);
      if (e.eval.failed) return -1;
      return create_string(e, number, dims, text);
    }
  }
}

}  // namespace

int int_command(Engine& e) { return declare(e, kVarInt); }
int flt_command(Engine& e) { return declare(e, kVarFloat); }
int str_command(Engine& e) { return declare(e, kVarString); }

}  // namespace nv::data
