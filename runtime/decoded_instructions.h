// Instructions decoded for direct execution. A handler whose instruction
// can run without the general argument path (LET, IF, ELSE with a
// condition) decodes it once into a DecodedForm and puts a run function
// specialised for its shapes in the instruction's FastInstruction; the
// command loops then call that function instead of going through the
// handler table. A run function whose checks fail (a variable missing or of
// another type, an index out of range, a stack full, a decoding-free
// evaluator mode) calls the general body of its handler, which starts over,
// so what a title sees is the same either way.
//
// The table belongs to the script image: the forms hold addresses inside
// its bytes, and install_script() drops it with them.
#pragma once

#include <cstdint>
#include <deque>
#include <vector>

#include "runtime/script_tables.h"
#include "values/script_expressions.h"

namespace nv {

struct Engine;

// The decoded arguments of one instruction: up to two expressions and the
// fields beside them.
struct DecodedForm {
  uint8_t code = 0;      // LET: the assignment operator
  int32_t target1 = 0;   // IF: the ELSE (0: none), ELSE: the next branch (0: none)
  int32_t target2 = 0;   // IF: the IFEND
  CompiledExpression x;  // LET: the target; IF, ELSE: the condition
  CompiledExpression y;  // LET: the source
};

struct FastInstruction;
using FastRun = int (*)(Engine& e, const FastInstruction& f);

struct FastInstruction {
  FastRun run = nullptr;  // null: the handler table's entry runs it
  const DecodedForm* form = nullptr;
  bool decoded = false;   // decoding was tried (run stays null when it cannot be run directly)
};

struct DecodedInstructions {
  std::vector<FastInstruction> fast;  // one per instruction
  std::deque<DecodedForm> forms;      // stable addresses
};

// The entry of the current instruction (the task's image is loaded),
// making the image's table on first use; null when the instruction
// register lies outside the image.
FastInstruction* current_fast_instruction(Engine& e);

// A new form owned by the current instruction's image.
DecodedForm& new_decoded_form(Engine& e);

// The run function of T<S> for the shape of `c` (a kInt form).
template <template <FastShape> class T>
FastRun run_for_shape(const CompiledExpression& c) {
  switch (c.shape) {
    case FastShape::kConst: return T<FastShape::kConst>::run;
    case FastShape::kVar: return T<FastShape::kVar>::run;
    case FastShape::kVarOp: return T<FastShape::kVarOp>::run;
    case FastShape::kVarOpOp: return T<FastShape::kVarOpOp>::run;
    case FastShape::kElementByVar: return T<FastShape::kElementByVar>::run;
    case FastShape::kElementByVarOp: return T<FastShape::kElementByVarOp>::run;
    case FastShape::kSteps: break;
  }
  return T<FastShape::kSteps>::run;
}

}  // namespace nv
