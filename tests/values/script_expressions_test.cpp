// The decoded script expressions against the token evaluator: the same
// results, reports and last variable reference for every expression, taken
// fast or handed back.
#include <deque>
#include <limits>
#include <string>

#include "tests/values/eval_fixture.h"
#include "values/evaluator_state.h"
#include "values/script_expressions.h"

namespace nv::test {
namespace {

constexpr uint32_t kI = 1000;     // INT i = 7
constexpr uint32_t kA = 1001;     // INT a[10], a[k] = k * k
constexpr uint32_t kM = 1002;     // INT m[3][4], m[r][c] = 10 * r + c
constexpr uint32_t kF = 1003;     // FLT f = 2.5
constexpr uint32_t kS = 1004;     // STR s = "text"
constexpr uint32_t kNone = 1005;  // never declared
constexpr uint32_t kLong = 1006;  // STR t, 5000 bytes
constexpr uint32_t kTwo = 1007;   // INT two = 2
constexpr uint32_t kNeg = 1008;   // INT neg = -1

struct Outcome {
  int64_t value = 0;
  bool failed = false;
  uint32_t reports = 0;
  std::string text;
  VarRef ref;
};

bool same_ref(const VarRef& a, const VarRef& b) {
  if (a.number != b.number || a.element != b.element || a.whole != b.whole || a.index_count != b.index_count)
    return false;
  for (int k = 0; k < a.index_count && k < kRecordedIndexes; ++k)
    if (a.index[k] != b.index[k]) return false;
  return true;
}

class ScriptExpressions : public EvalTest {
 protected:
  ScriptExpressions() {
    create_integer(e(), kI, {}, 7);
    std::vector<int32_t> ten{10};
    create_integer(e(), kA, ten, 0);
    for (int k = 0; k < 10; ++k) write_int(*e().vars.find(kA), k, k * k);
    std::vector<int32_t> three_by_four{3, 4};
    create_integer(e(), kM, three_by_four, 0);
    for (int k = 0; k < 12; ++k) write_int(*e().vars.find(kM), k, 10 * (k / 4) + k % 4);
    create_float(e(), kF, {}, 2.5);
    create_string(e(), kS, {}, "text");
    create_string(e(), kLong, {}, std::string(5000, 'y'));
    create_integer(e(), kTwo, {}, 2);
    create_integer(e(), kNeg, {}, -1);
  }

  // Kept alive for the whole test: the cache is keyed by address.
  const Expr& keep(Expr x) { return kept.emplace_back(std::move(x)); }

  template <class Run>
  Outcome outcome(Run run) {
    e().eval.ref = VarRef{.number = 4321, .element = 99};
    uint32_t before = reports();
    Outcome o;
    o.value = run();
    o.failed = e().eval.failed;
    o.reports = reports() - before;
    o.text = o.reports ? last_text() : "";
    o.ref = e().eval.ref;
    return o;
  }

  // The general and the decoded evaluation, the latter twice (decoded, then
  // found in the cache), agree in everything a caller sees.
  void expect_same_int(const Expr& x, int selector, const char* what) {
    Outcome general = outcome([&] { return eval_int(e(), x.b, selector); });
    for (int pass = 0; pass < 2; ++pass) {
      Outcome cached = outcome([&] { return eval_script_int(e(), x.b, selector); });
      EXPECT_EQ(cached.value, general.value) << what << " selector " << selector;
      EXPECT_EQ(cached.failed, general.failed) << what;
      EXPECT_EQ(cached.reports, general.reports) << what;
      EXPECT_EQ(cached.text, general.text) << what;
      EXPECT_TRUE(same_ref(cached.ref, general.ref)) << what << ": ref " << cached.ref.number << " vs "
                                                     << general.ref.number;
    }
  }

  void expect_same_target(const Expr& x, int selector, const char* what) {
    Outcome general = outcome([&] {
      eval_target(e(), x.b, selector);
      return int64_t{0};
    });
    Outcome cached = outcome([&] {
      eval_script_target(e(), x.b, selector);
      return int64_t{0};
    });
    EXPECT_EQ(cached.failed, general.failed) << what;
    EXPECT_EQ(cached.reports, general.reports) << what;
    EXPECT_TRUE(same_ref(cached.ref, general.ref)) << what;
  }

  std::deque<Expr> kept;
};

TEST_F(ScriptExpressions, ArithmeticAndVariablesGiveWhatTheTokenEvaluatorGives) {
  const int64_t min = std::numeric_limits<int64_t>::min();
  struct Case {
    Expr x;
    const char* what;
  };
  std::vector<Case> cases;
  cases.push_back({Expr().i(7).i(0).op('/'), "division by zero"});
  cases.push_back({Expr().i(min).i(-1).op('/'), "smallest / -1"});
  cases.push_back({Expr().i(min).i(-1).op('%'), "smallest % -1"});
  cases.push_back({Expr().i(-7).i(2).op('%'), "negative remainder"});
  cases.push_back({Expr().b8(5).op('R').b8(3).op('-'), "negated constant"});
  cases.push_back({Expr().f(2.9).f(2.9).op('+'), "float constants truncated"});
  cases.push_back({Expr().H(kI).b8(3).op('*').H(kI).op('+'), "scalar arithmetic"});
  cases.push_back({Expr().H(kI).i(1000).op('%').b8(0).op('='), "remainder compared"});
  cases.push_back({Expr().H(kI).op('R').H(kI).op('R').op('*'), "negated variables"});
  cases.push_back({Expr().b8(6).b8(3).op('A').b8(1).op('O').b8(5).op('^'), "bitwise"});
  cases.push_back({Expr().b8(0).b8(5).op('|').b8(0).op('&'), "logical"});
  cases.push_back({Expr().H(kI).b8(7).op('!').H(kI).b8(7).op('Z').op('|'), "not equal, greater or equal"});
  cases.push_back({Expr().b8(2).b8(3).op('<').b8(3).b8(3).op('S').op('&'), "less, less or equal"});
  cases.push_back({Expr().V(kA).H(kI).close(), "element by a variable"});
  cases.push_back({Expr().V(kA).H(kNeg).close(), "element by a negative variable"});
  cases.push_back({Expr().V(kA).H(kI).close().b8(40).op('>'), "element by a variable, compared"});
  cases.push_back({Expr().V(kA).H(kF).close().b8(40).op('>'), "element by a float variable, compared"});
  cases.push_back({Expr().V(kM).H(kTwo).close(), "one index of two by a variable"});
  cases.push_back({Expr().V(kM).H(kI).close().b8(1).op('+'), "one index of two, out of range"});
  cases.push_back({Expr().V(kS).H(kTwo).close(), "element of a text by a variable"});
  cases.push_back({Expr().V(kF).H(kTwo).close().b8(1).op('-'), "element of a float scalar"});
  cases.push_back({Expr().H(kI).b8(100).op('%'), "variable op constant"});
  cases.push_back({Expr().H(kS).b8(100).op('%'), "text variable op constant"});
  cases.push_back({Expr().V(kA).b8(3).close().i(1000000).op('>'), "element compared"});
  cases.push_back({Expr().V(kA).V(kA).b8(2).close().b8(5).op('%').close(), "nested elements"});
  cases.push_back({Expr().V(kM).b8(2).b8(3).close(), "two indexes"});
  cases.push_back({Expr().V(kM).b8(2).close(), "a missing index counts as 0"});
  cases.push_back({Expr().V(kM).b8(1).b8(1).b8(1).close(), "an index beyond the dimensions"});
  cases.push_back({Expr().V(kA).b8(10).close(), "index past the end"});
  cases.push_back({Expr().V(kA).b8(-1).close(), "negative index"});
  cases.push_back({Expr().V(kA).H(kI).b8(3).op('+').close().H(kI).op('+'), "index expression"});
  cases.push_back({Expr().V(kA).s("1").close(), "text index"});
  cases.push_back({Expr().H(kF).b8(1).op('+'), "float variable"});
  cases.push_back({Expr().V(kA).H(kF).close(), "float variable as index"});
  cases.push_back({Expr().H(kS), "text variable"});
  cases.push_back({Expr().H(kNone).b8(1).op('+'), "undeclared variable"});
  cases.push_back({Expr().V(kNone).b8(0).close(), "element of an undeclared variable"});
  cases.push_back({Expr().H(1100), "variable past the table"});
  cases.push_back({Expr().V(kA).H(1100).close(), "index variable past the table"});
  cases.push_back({Expr().H(kI).V(1100).b8(0).close().op('+'), "element past the table after a reference"});
  cases.push_back({Expr().H(5), "system variable"});
  cases.push_back({Expr().whole(kA), "whole variable"});
  cases.push_back({Expr().op('+'), "stack underflow"});
  cases.push_back({Expr().b8(1).V(kA).op('+').close(), "operator below an open element"});
  cases.push_back({Expr().b8(1).b8(2), "two values"});
  cases.push_back({Expr().V(kA).b8(1), "unclosed element"});
  cases.push_back({Expr().close(), "close without open"});
  cases.push_back({Expr().tok(expr::kPushInt32, {1, 2}), "short constant"});
  cases.push_back({Expr().b8(1).op(','), "no-op"});
  cases.push_back({Expr(), "empty"});
  Expr truncated = Expr().b8(4);
  truncated.b.push_back('+');
  cases.push_back({truncated, "truncated token"});
  Expr deep;
  for (int k = 0; k < 12; ++k) deep.b8(static_cast<int8_t>(k));
  for (int k = 0; k < 11; ++k) deep.op('+');
  cases.push_back({deep, "deeper than the decoded stack"});
  for (const Case& c : cases) {
    const Expr& x = keep(c.x);
    for (int selector : {1, 2, 3, 4, 0, 5}) expect_same_int(x, selector, c.what);
  }
  // The integer cases really are decoded: a scalar reads the live value.
  const Expr& x = keep(Expr().H(kI).b8(2).op('*'));
  EXPECT_EQ(eval_script_int(e(), x.b, 1), 14);
  write_int(*e().vars.find(kI), 0, -4);
  EXPECT_EQ(eval_script_int(e(), x.b, 1), -8);
  CompiledExpression c;
  compile_expression(x.b, c);
  EXPECT_EQ(c.kind, FastKind::kInt);
  EXPECT_EQ(c.steps, 2);  // the constant is folded into the multiplication
}

TEST_F(ScriptExpressions, TargetsNameTheirVariableWithoutReadingIt) {
  for (const Expr& x : {Expr().H(kI), Expr().V(kA).b8(4).close(), Expr().V(kA).b8(12).close(),
                        Expr().V(kA).H(kTwo).close(), Expr().V(kA).H(kNeg).close(), Expr().V(kM).H(kTwo).close(),
                        Expr().V(kS).H(kTwo).close(), Expr().V(kA).H(kF).close(),
                        Expr().V(kM).H(kI).b8(5).op('%').b8(1).close(), Expr().H(kS), Expr().H(kF),
                        Expr().H(kNone), Expr().H(1100), Expr().H(5), Expr().H(kI).b8(1).op('+')})
    for (int selector : {1, 2, 4, 6}) expect_same_target(keep(x), selector, "target");
  // A text longer than a string temporary is named, not copied.
  const Expr& t = keep(Expr().H(kLong));
  for (auto target : {eval_target, eval_script_target}) {
    uint32_t before = reports();
    target(e(), t.b, 3);
    EXPECT_FALSE(e().eval.failed);
    EXPECT_EQ(reports(), before);
    EXPECT_EQ(e().eval.ref.number, static_cast<int32_t>(kLong));
  }
  // As a value it still does not fit.
  eval_text(e(), t.b, 3);
  EXPECT_TRUE(e().eval.failed);
}

TEST_F(ScriptExpressions, PlainLiteralsAreViewedWhereTheyStand) {
  for (const Expr& x : {Expr().s("abc"), Expr().s(""), Expr().s("a\\nb"), Expr().s("日本"),
                        Expr().s("cut", '\'').b8(1), Expr().s(std::string(4095, 'z')),
                        Expr().s(std::string(4096, 'z'))}) {
    const Expr& k = keep(x);
    for (int selector : {1, 3, 4, 9}) {
      uint32_t before = reports();
      std::string general(eval_text(e(), k.b, selector));
      uint32_t general_reports = reports() - before;
      before = reports();
      std::string cached(eval_script_text(e(), k.b, selector));
      EXPECT_EQ(cached, general);
      EXPECT_EQ(reports() - before, general_reports);
    }
  }
  CompiledExpression c;
  compile_expression(keep(Expr().s("plain")).b, c);
  EXPECT_EQ(c.kind, FastKind::kText);
  compile_expression(keep(Expr().s("a\\tb")).b, c);
  EXPECT_EQ(c.kind, FastKind::kGeneral);  // escapes are decoded by the evaluator
}

TEST_F(ScriptExpressions, ClearingDropsTheDecodedForms) {
  Expr& x = const_cast<Expr&>(keep(Expr().b8(3).b8(4).op('+')));
  EXPECT_EQ(eval_script_int(e(), x.b, 1), 7);
  x.b[x.b.size() - 3] = '*';  // the same address and size, another operator
  clear_script_expressions(e());
  EXPECT_EQ(eval_script_int(e(), x.b, 1), 12);
}

}  // namespace
}  // namespace nv::test
