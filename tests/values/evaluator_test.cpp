#include <cmath>
#include <limits>

#include "tests/values/eval_fixture.h"

namespace nv::test {
namespace {

using Eval = EvalTest;

TEST_F(Eval, IntegerDivisionAndRemainderTruncateAndTreatZeroAsZero) {
  EXPECT_EQ(ev_int(Expr().i(7).i(0).op('/')), 0);
  EXPECT_EQ(ev_int(Expr().i(7).i(0).op('%')), 0);
  EXPECT_EQ(ev_int(Expr().i(-7).i(2).op('/')), -3);
  EXPECT_EQ(ev_int(Expr().i(-7).i(2).op('%')), -1);
  EXPECT_EQ(ev_int(Expr().i(7).i(-2).op('%')), 1);
  // The one quotient that overflows wraps instead of trapping.
  int64_t min = std::numeric_limits<int64_t>::min();
  EXPECT_EQ(ev_int(Expr().i(min).i(-1).op('/')), min);
  EXPECT_EQ(ev_int(Expr().i(min).i(-1).op('%')), 0);
  EXPECT_EQ(ev_int(Expr().i(std::numeric_limits<int64_t>::max()).i(1).op('+')), min);
  EXPECT_EQ(reports(), 0u);
}

TEST_F(Eval, FloatArithmeticAndItsConversions) {
  EXPECT_EQ(ev_float(Expr().f(7.0).f(0.0).op('/')), 0.0);
  EXPECT_DOUBLE_EQ(ev_float(Expr().f(7.0).f(2.0).op('/')), 3.5);
  // Through the integer table a float expression truncates toward zero.
  EXPECT_EQ(ev_int(Expr().f(2.9), 2), 2);
  EXPECT_EQ(ev_int(Expr().f(-2.9), 2), -2);
  EXPECT_EQ(ev_int(Expr().f(-2.9), 4), -2);
  // Constants in an integer expression are truncated as they are pushed.
  EXPECT_EQ(ev_int(Expr().f(2.9).f(2.9).op('+'), 1), 4);
  EXPECT_DOUBLE_EQ(ev_float(Expr().f(2.9).f(2.9).op('+'), 1), 4.0);
  // Remainder and bitwise operators leave the left operand in float arithmetic.
  EXPECT_DOUBLE_EQ(ev_float(Expr().i(7).i(2).op('%')), 7.0);
  EXPECT_DOUBLE_EQ(ev_float(Expr().i(6).i(3).op('A')), 6.0);
  EXPECT_DOUBLE_EQ(ev_float(Expr().i(6).i(3).op('O')), 6.0);
  EXPECT_EQ(ev_int(Expr().i(6).i(3).op('A')), 2);
  EXPECT_EQ(ev_int(Expr().i(6).i(3).op('O')), 7);
  EXPECT_EQ(ev_int(Expr().i(6).i(3).op('^')), 5);
  EXPECT_DOUBLE_EQ(ev_float(Expr().f(1.5).op('R')), -1.5);
  // Out-of-range and NaN conversions give the processor's indefinite value.
  EXPECT_EQ(ev_int(Expr().f(1e300), 2), std::numeric_limits<int64_t>::min());
  EXPECT_EQ(ev_int(Expr().f(std::nan("")), 2), std::numeric_limits<int64_t>::min());
}

TEST_F(Eval, ComparisonsFollowTheArithmeticOfTheMode) {
  Expr gt = Expr().f(2.5).f(2.4).op('>');
  EXPECT_EQ(ev_int(gt, 1), 0);  // both truncated to 2
  EXPECT_EQ(ev_int(gt, 2), 1);
  EXPECT_DOUBLE_EQ(ev_float(gt, 2), 1.0);
  EXPECT_EQ(ev_int(Expr().i(-1).i(1).op('<')), 1);
  EXPECT_EQ(ev_int(Expr().i(2).i(2).op('Z')), 1);
  EXPECT_EQ(ev_int(Expr().i(3).i(2).op('S')), 0);
  EXPECT_EQ(ev_int(Expr().i(3).i(3).op('=')), 1);
  EXPECT_EQ(ev_int(Expr().i(3).i(3).op('!')), 0);
  EXPECT_EQ(ev_int(Expr().i(0).i(5).op('|')), 1);
  EXPECT_EQ(ev_int(Expr().i(0).i(5).op('&')), 0);
  EXPECT_DOUBLE_EQ(ev_float(Expr().f(0.5).f(0.25).op('&')), 1.0);
}

TEST_F(Eval, StringsConcatenateCompareAndConvert) {
  EXPECT_EQ(ev_str(Expr().s("ab").s("cd").op('+')), "abcd");
  EXPECT_EQ(ev_int(Expr().s("ab").s("ab").op('=')), 1);
  EXPECT_EQ(ev_int(Expr().s("ab").s("aB").op('=')), 0);
  EXPECT_EQ(ev_int(Expr().s("ab").s("aB").op('!')), 1);
  EXPECT_EQ(ev_str(Expr().i(-42).op('s')), "-42");
  EXPECT_EQ(ev_str(Expr().f(1.5).op('s'), 4), "1.500000");
  EXPECT_EQ(ev_int(Expr().s(" \t-12x").op('i')), -12);
  EXPECT_EQ(ev_int(Expr().s("+7").op('i').i(1).op('+')), 8);
  EXPECT_EQ(ev_int(Expr().s("abc").op('i')), 0);
  EXPECT_DOUBLE_EQ(ev_float(Expr().s("25").op('i')), 25.0);
  EXPECT_EQ(reports(), 0u);
  // A numeric result through the string table leaves the buffer alone.
  EXPECT_EQ(ev_str(Expr().i(5)), "unchanged");
}

TEST_F(Eval, MixingStringsAndNumbersIsRefused) {
  EXPECT_EQ(ev_int(Expr().s("a").i(1).op('+')), 0);
  EXPECT_EQ(last_code(), 160010u);
  EXPECT_EQ(e().errors.last_text, sjis("数値(変数)と文字列(変数)を演算しようとしました。"));
  ev_int(Expr().i(1).s("a").op('='));
  EXPECT_EQ(reports(), 2u);
  ev_int(Expr().s("a").i(1).op('!'));
  EXPECT_EQ(reports(), 3u);
  // Ordering comparisons take a string as its integer part 0.
  EXPECT_EQ(ev_int(Expr().s("9").i(1).op('<')), 1);
  EXPECT_EQ(reports(), 3u);
}

TEST_F(Eval, LiteralEscapesAndDoubleByteCharacters) {
  EXPECT_EQ(ev_str(Expr().s("a\\\\b\\nc\\td")), "a\\b\nc\td");
  EXPECT_EQ(ev_str(Expr().s("a\\qb")), "aqb");
  // A backslash before the delimiter does not escape it: the literal ends there.
  Expr x;
  x.tok(expr::kPushString, {'"', 'a', '\\', '"', 'b', '"'});
  EXPECT_EQ(ev_str(x), "a");
  // 0x83 0x5C is one character; its trail byte is no escape.
  EXPECT_EQ(ev_str(Expr().s("\x83\x5Cn")), "\x83\x5Cn");
  // Another delimiter than the double quote.
  EXPECT_EQ(ev_str(Expr().s("say \"hi\"", '\'')), "say \"hi\"");
}

class EvalArrays : public EvalTest {
 protected:
  EvalArrays() {
    std::vector<int32_t> dims{2, 8};
    create_integer(e(), 1000, dims, 0);
    for (int k = 0; k < 16; ++k) write_int(e().vars.vars[1000], k, 100 + k);
    std::vector<int32_t> one{10};
    create_integer(e(), 1001, one, 0);
    for (int k = 0; k < 10; ++k) write_int(e().vars.vars[1001], k, k * k);
    create_string(e(), 1002, {}, "text");
  }
};

TEST_F(EvalArrays, IndexesAreRowMajorAndReportedAsTheLastReference) {
  EXPECT_EQ(ev_int(Expr().V(1000).i(1).i(3).close()), 111);
  EXPECT_EQ(e().eval.ref.number, 1000);
  EXPECT_EQ(e().eval.ref.element, 11);
  EXPECT_EQ(e().eval.ref.index_count, 2);
  EXPECT_EQ(e().eval.ref.index[0], 1);
  EXPECT_EQ(e().eval.ref.index[1], 3);
  // Nested: a[0][ b[2] - 3 ] with b[2] = 4 reads a[0][1].
  EXPECT_EQ(ev_int(Expr().V(1000).i(0).V(1001).i(2).close().i(3).op('-').close()), 101);
}

TEST_F(EvalArrays, IndexArithmeticStaysIntegerInFloatExpressions) {
  // 7 / 2 inside the brackets is 3 even though the expression is a float one.
  EXPECT_DOUBLE_EQ(ev_float(Expr().V(1001).i(7).i(2).op('/').close()), 9.0);
  EXPECT_DOUBLE_EQ(ev_float(Expr().V(1001).f(3.9).close().f(0.5).op('+')), 9.5);
}

TEST_F(EvalArrays, IndexesOutsideTheDimensionsAreReported) {
  ev_int(Expr().V(1001).i(-1).close());
  EXPECT_EQ(last_code(), 107010u);
  ev_int(Expr().V(1001).i(10).close());
  EXPECT_EQ(reports(), 2u);
  ev_int(Expr().V(1000).i(2).i(0).close());
  EXPECT_EQ(reports(), 3u);
  ev_int(Expr().V(1001).i(9).close());
  EXPECT_EQ(reports(), 3u);
  // A string index.
  ev_int(Expr().V(1001).s("1").close());
  EXPECT_EQ(last_code(), 160010u);
}

TEST_F(EvalArrays, VariablesPushByTheirType) {
  EXPECT_EQ(ev_str(Expr().H(1002).s("!").op('+')), "text!");
  EXPECT_EQ(e().eval.ref.number, 1002);
  create_float(e(), 1003, {}, 2.75);
  EXPECT_EQ(ev_int(Expr().H(1003)), 2);
  EXPECT_DOUBLE_EQ(ev_float(Expr().H(1003)), 2.75);
  // A variable without a type reads 0.
  EXPECT_EQ(ev_int(Expr().H(1050).i(4).op('+')), 4);
  // A number beyond the table.
  ev_int(Expr().H(1200));
  EXPECT_EQ(last_code(), 108010u);
  ev_int(Expr().whole(1001));
  EXPECT_TRUE(e().eval.ref.whole);
  ev_int(Expr().H(1001));
  EXPECT_FALSE(e().eval.ref.whole);
}

TEST_F(EvalArrays, DeclarationModeRecordsTheShapeOnly) {
  e().eval.declaration = true;
  ev_int(Expr().V(1090).i(3).i(4).i(5).close());  // 1090 has no storage: no bounds check
  e().eval.declaration = false;
  EXPECT_EQ(reports(), 0u);
  EXPECT_EQ(e().eval.ref.number, 1090);
  ASSERT_EQ(e().eval.ref.index_count, 3);
  EXPECT_EQ(e().eval.ref.index[2], 5);
}

TEST_F(EvalArrays, ConstantOnlyModeStopsAtVariables) {
  e().eval.constant_only = true;
  EXPECT_EQ(ev_str(Expr().s("A").H(1002).op('+')), "A");
  EXPECT_TRUE(e().eval.not_constant);
  EXPECT_EQ(ev_str(Expr().s("B")), "B");
  EXPECT_FALSE(e().eval.not_constant);
  e().eval.constant_only = false;
  EXPECT_EQ(reports(), 0u);
}

TEST_F(Eval, FixedBuffersAreGuarded) {
  Expr deep;
  for (int k = 0; k < 1025; ++k) deep.b8(1);
  ev_int(deep);
  EXPECT_EQ(last_code(), 900000u);
  Expr ok_deep;
  for (int k = 0; k < 1024; ++k) ok_deep.b8(1);
  for (int k = 0; k < 1023; ++k) ok_deep.op('+');
  EXPECT_EQ(ev_int(ok_deep), 1024);
  EXPECT_EQ(reports(), 1u);

  EXPECT_EQ(ev_int(Expr().i(4).op(',')), 4);
  Expr many;  // 1023 temporaries are allowed, the 1024th is not
  many.i(0);
  for (int k = 0; k < 1023; ++k) many.s("1").op('i').op('+');
  EXPECT_EQ(ev_int(many), 1023);
  EXPECT_EQ(reports(), 1u);
  many.s("1");
  ev_int(many);
  EXPECT_EQ(reports(), 2u);

  std::string long_text(4000, 'a');
  EXPECT_EQ(ev_str(Expr().s(long_text).s(std::string(95, 'b')).op('+')).size(), 4095u);
  EXPECT_EQ(reports(), 2u);
  ev_str(Expr().s(long_text).s(std::string(96, 'b')).op('+'));
  EXPECT_EQ(reports(), 3u);
  ev_str(Expr().s(std::string(4096, 'c')));
  EXPECT_EQ(reports(), 4u);

  Expr nested;
  nested.V(1000);
  for (int k = 0; k < 127; ++k) nested.V(1000);
  ev_int(nested);
  EXPECT_EQ(reports(), 5u);
  EXPECT_EQ(last_code(), 900000u);
}

TEST_F(Eval, MalformedTokenStringsAreDataErrors) {
  Expr cut = Expr().i(5);
  cut.b.resize(cut.b.size() - 1);
  EXPECT_EQ(ev_int(cut), 0);
  EXPECT_EQ(last_code(), 900000u);
  Expr short_payload;
  short_payload.tok(expr::kPushInt32, {1, 2});
  ev_int(short_payload);
  EXPECT_EQ(reports(), 2u);
  ev_int(Expr().op('+'));  // nothing to add
  EXPECT_EQ(reports(), 3u);
  ev_int(Expr().close());
  EXPECT_EQ(reports(), 4u);
  ev_int(Expr().i(3).op('?'));
  EXPECT_EQ(last_code(), 900030u);
  EXPECT_EQ(ev_int(Expr().i(3).op('?')), 3);  // the value found so far is returned
  ev_int(Expr().i(3));  // a good evaluation clears the flag ...
  ASSERT_FALSE(e().eval.failed);
  eval_int(e(), Expr().i(3).b, 0);  // ... and a bad selector sets it, so callers stop
  EXPECT_EQ(last_code(), 900000u);
  EXPECT_TRUE(e().eval.failed);
  e().eval.failed = false;
  eval_float(e(), Expr().i(3).b, 7);
  EXPECT_TRUE(e().eval.failed);
}

}  // namespace
}  // namespace nv::test
