// The postfix expression evaluator. A compiled expression is a token string
// (opcode byte, uint16 payload length, payload); see formats/expr_tokens.h. An
// argument record's selector (1 to 4) picks the entry of each of the three
// result tables; errors are reported by number (the entry still returns the
// value at the bottom of the stack).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "values/evaluator_state.h"

namespace nv {

struct Engine;

int64_t eval_int(Engine& e, std::span<const uint8_t> expr, int selector);
double eval_float(Engine& e, std::span<const uint8_t> expr, int selector);
// Copies a string result into `out` (kTextBufferSize bytes) with its
// terminator and returns its length; a numeric result returns 0 and leaves
// `out` as it was.
size_t eval_string(Engine& e, std::span<const uint8_t> expr, int selector, char* out);
// The string result without the copy: a view of the evaluator's temporary,
// valid until the next evaluation; empty for a numeric result.
std::string_view eval_text(Engine& e, std::span<const uint8_t> expr, int selector);

// An assignment target: evaluates like eval_int() for the variable
// reference it leaves in e.eval.ref, but the text of a text variable named
// outside any index is not read (its length is then not limited by the
// string temporaries).
void eval_target(Engine& e, std::span<const uint8_t> expr, int selector);

// One evaluation in mode 1 to 4 (no result conversion); the result is slot
// 0 of the stack. Returns false when a token failed.
bool evaluate(Engine& e, std::span<const uint8_t> expr, int mode);

}  // namespace nv
