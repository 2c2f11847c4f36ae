// The expression evaluator over arbitrary token strings, against the
// variables of a small title (an integer array, a text, a float). The first
// byte picks the mode and the special evaluations (constant-only, as a
// declaration target); the rest is the token string, evaluated through
// every result entry.
#include <cstddef>
#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "fuzz/fuzz_title.h"
#include "values/evaluator.h"

namespace {

// One engine for every input, as a title keeps one: each evaluation starts
// from a reset state.
nv::Engine& engine() {
  static nv::platform::Platform host = nv::fuzz::headless_host();
  static nv::Engine e(host);
  static const bool loaded = nv::fuzz::load_title(e, nv::fuzz::base_title(), "", {});
  if (!loaded) __builtin_trap();  // the base title loads
  return e;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  nv::Engine& e = engine();
  const uint8_t how = data[0];
  std::span<const uint8_t> expr(data + 1, size - 1);
  e.eval.constant_only = (how & 0x10) != 0;
  e.eval.declaration = (how & 0x20) != 0;
  nv::evaluate(e, expr, (how & 3) + 1);
  const int selector = ((how >> 2) & 3) + 1;
  nv::eval_int(e, expr, selector);
  nv::eval_float(e, expr, selector);
  char text[nv::kTextBufferSize];
  nv::eval_string(e, expr, selector, text);
  nv::eval_text(e, expr, selector);
  e.eval.constant_only = false;
  e.eval.declaration = false;
  return 0;
}
