// An engine with the error table and an empty variable table of 1100
// numbers, for evaluator and variable tests.
#pragma once

#include <gtest/gtest.h>

#include "runtime/error_table.h"
#include "tests/support/engine_files.h"
#include "tests/support/test_engine.h"
#include "values/evaluator.h"
#include "values/variables.h"

namespace nv::test {

class EvalTest : public EngineTest {
 protected:
  explicit EvalTest(platform::LocalTime start = {}) : EngineTest({.start = start}) {
    t.write("nvbin/nve.nbn", test_error_table());
    EXPECT_EQ(load_error_table(e()), 0);
    e().vars.vars.resize(1100);
  }
  int64_t ev_int(const Expr& x, int sel = 1) { return eval_int(e(), x.b, sel); }
  double ev_float(const Expr& x, int sel = 2) { return eval_float(e(), x.b, sel); }
  std::string ev_str(const Expr& x, int sel = 3) {
    char buf[kTextBufferSize] = "unchanged";
    size_t n = eval_string(e(), x.b, sel, buf);
    return n ? std::string(buf, n) : std::string(buf);
  }
};

}  // namespace nv::test
