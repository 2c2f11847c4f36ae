// The expression evaluator over arbitrary token strings, against the
// variables of a small title (an integer array, a text, a float). The first
// byte picks the mode and the special evaluations (constant-only, as a
// declaration target); the rest is the token string, evaluated through
// every result entry, and through the decoded script expressions, which
// must give what the token evaluator gives.
#include <cstddef>
#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "fuzz/fuzz_title.h"
#include "values/evaluator.h"
#include "values/evaluator_state.h"
#include "values/script_expressions.h"

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

struct Seen {
  int64_t value;
  bool failed;
  uint32_t reports;
  nv::VarRef ref;
};

template <class Run>
Seen seen(nv::Engine& e, Run run) {
  e.eval.ref = nv::VarRef{};
  uint32_t before = e.errors.report_count;
  int64_t v = run();
  return {v, e.eval.failed, e.errors.report_count - before, e.eval.ref};
}

bool same(const Seen& a, const Seen& b) {
  if (a.value != b.value || a.failed != b.failed || a.reports != b.reports) return false;
  const nv::VarRef &x = a.ref, &y = b.ref;
  if (x.number != y.number || x.element != y.element || x.whole != y.whole || x.index_count != y.index_count)
    return false;
  for (int k = 0; k < x.index_count && k < nv::kRecordedIndexes; ++k)
    if (x.index[k] != y.index[k]) return false;
  return true;
}

// The decoded forms against the token evaluator. The input buffer is not a
// script image, so the decoded forms are dropped before each use.
void compare_decoded(nv::Engine& e, std::span<const uint8_t> expr, int selector) {
  Seen general = seen(e, [&] { return nv::eval_int(e, expr, selector); });
  nv::clear_script_expressions(e);
  if (!same(general, seen(e, [&] { return nv::eval_script_int(e, expr, selector); }))) __builtin_trap();
  general = seen(e, [&] {
    nv::eval_target(e, expr, selector);
    return int64_t{0};
  });
  nv::clear_script_expressions(e);
  if (!same(general, seen(e, [&] {
        nv::eval_script_target(e, expr, selector);
        return int64_t{0};
      })))
    __builtin_trap();
  std::string text(nv::eval_text(e, expr, selector));
  nv::clear_script_expressions(e);
  if (nv::eval_script_text(e, expr, selector) != text) __builtin_trap();
  nv::clear_script_expressions(e);
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
  compare_decoded(e, expr, selector);
  e.eval.constant_only = false;
  e.eval.declaration = false;
  return 0;
}
