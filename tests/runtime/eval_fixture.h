// An engine with the error table and an empty variable table of 1100
// numbers, for evaluator and variable tests.
#pragma once

#include <gtest/gtest.h>

#include "data/evaluator.h"
#include "data/variables.h"
#include "runtime/error_table.h"
#include "tests/runtime/test_files.h"

namespace nv::test {

class EvalTest : public ::testing::Test {
 protected:
  explicit EvalTest(platform::LocalTime start = {}) : t(start) {
    t.write("nvbin/nve.nbn", test_error_table());
    EXPECT_EQ(load_error_table(e()), 0);
    e().vars.vars.resize(1100);
  }
  Engine& e() { return *t.e; }
  int64_t ev_int(const Expr& x, int sel = 1) { return eval_int(e(), x.b, sel); }
  double ev_float(const Expr& x, int sel = 2) { return eval_float(e(), x.b, sel); }
  std::string ev_str(const Expr& x, int sel = 3) {
    char buf[kTextBufferSize] = "unchanged";
    size_t n = eval_string(e(), x.b, sel, buf);
    return n ? std::string(buf, n) : std::string(buf);
  }
  uint32_t last_code() { return e().errors.last_code; }
  uint32_t reports() { return e().errors.report_count; }
  TestEngine t;
};

}  // namespace nv::test
