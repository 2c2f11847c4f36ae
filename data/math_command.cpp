// MATH: one function of SET (and SET2) into LET; the first function
// keyword in the fixed order below runs, none given does nothing.
#include <cmath>
#include <cstdint>
#include <utility>

#include "core/engine.h"
#include "data/var_command_state.h"
#include "data/variable_commands.h"
#include "formats/checksums.h"
#include "formats/command_table.h"
#include "runtime/arg_eval.h"
#include "runtime/arg_slots.h"
#include "runtime/output_target.h"
#include "values/evaluator.h"
#include "values/evaluator_state.h"

namespace nv::data {

namespace {

namespace K = kw::MATH;

// An unevaluated argument (SET, SET2) with the float table of its selector,
// or of `force_selector` when it is not 0. Absent: 0. A failed evaluation
// sets `failed`.
double raw_float(Engine& e, int keyword, bool& failed, int force_selector = 0) {
  if (!e.args.has(keyword)) return 0.0;
  const ArgSlot& s = e.args.at(keyword);
  double v = eval_float(e, s.raw_expr(), force_selector ? force_selector : s.selector);
  failed = failed || e.eval.failed;
  return v;
}

int64_t raw_int(Engine& e, int keyword, bool& failed) {
  if (!e.args.has(keyword)) return 0;
  const ArgSlot& s = e.args.at(keyword);
  int64_t v = eval_int(e, s.raw_expr(), s.selector);
  failed = failed || e.eval.failed;
  return v;
}

bool float_selector(int selector) { return selector == 2 || selector == 4; }

// low + (r mod (high - low + 1)) over the whole 64-bit range: a span that
// covers every value takes r as it is.
int64_t random_between(Engine& e, int64_t low, int64_t high) {
  if (low > high) std::swap(low, high);
  uint64_t span = static_cast<uint64_t>(high) - static_cast<uint64_t>(low) + 1;
  uint64_t r = e.varcmd.random();
  return static_cast<int64_t>(static_cast<uint64_t>(low) + (span == 0 ? r : r % span));
}

using Unary = double (*)(double);

struct UnaryFunction {
  int keyword;
  Unary f;
};

}  // namespace

int math_command(Engine& e) {
  if (evaluate_arguments(e) != 0) return -1;
  const ArgSlots& a = e.args;
  OutputTarget out = output_target(e, K::LET);
  bool failed = false;
  auto done = [&](double v) { return failed ? -1 : store_float(e, out, v); };

  // SIN and COS compute their argument in floats whatever it is.
  if (a.has(K::SIN)) return done(std::sin(raw_float(e, K::SET, failed, 2)));
  if (a.has(K::COS)) return done(std::cos(raw_float(e, K::SET, failed, 2)));
  static constexpr UnaryFunction kBefore[] = {
      {K::TAN, [](double x) { return std::tan(x); }},   {K::ASIN, [](double x) { return std::asin(x); }},
      {K::ACOS, [](double x) { return std::acos(x); }}, {K::SINH, [](double x) { return std::sinh(x); }},
      {K::COSH, [](double x) { return std::cosh(x); }}, {K::TANH, [](double x) { return std::tanh(x); }},
      {K::ATAN, [](double x) { return std::atan(x); }}};
  for (const UnaryFunction& u : kBefore)
    if (a.has(u.keyword)) return done(u.f(raw_float(e, K::SET, failed)));
  if (a.has(K::ATAN2)) {
    double y = raw_float(e, K::SET, failed);
    return done(std::atan2(y, raw_float(e, K::SET2, failed)));
  }
  if (a.has(K::SQRT)) return done(std::sqrt(raw_float(e, K::SET, failed)));
  if (a.has(K::ABS)) {
    if (a.has(K::SET) && !float_selector(a.at(K::SET).selector)) {
      int64_t v = raw_int(e, K::SET, failed);
      uint64_t m = v < 0 ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);  // INT64_MIN stays
      return failed ? -1 : store_int(e, out, static_cast<int64_t>(m));
    }
    return done(std::fabs(raw_float(e, K::SET, failed)));
  }
  static constexpr UnaryFunction kAfter[] = {{K::EXP, [](double x) { return std::exp(x); }},
                                             {K::LOG, [](double x) { return std::log(x); }},
                                             {K::LOG10, [](double x) { return std::log10(x); }}};
  for (const UnaryFunction& u : kAfter)
    if (a.has(u.keyword)) return done(u.f(raw_float(e, K::SET, failed)));
  if (a.has(K::POW)) {
    double x = raw_float(e, K::SET, failed);
    return done(std::pow(x, raw_float(e, K::SET2, failed)));
  }
  if (a.has(K::RND)) {
    int64_t low = raw_int(e, K::SET, failed);
    int64_t high = raw_int(e, K::SET2, failed);
    if (failed) return -1;
    return store_int(e, out, random_between(e, low, high));
  }
  if (a.has(K::HASH)) {
    std::string_view text = a.has(K::SETSTR) ? a.at(K::SETSTR).text_view() : std::string_view();
    return store_int(e, out, static_cast<int64_t>(crc32_of(text)));
  }
  return 0;
}

}  // namespace nv::data
