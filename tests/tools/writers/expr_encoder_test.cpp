#include "tools/writers/expr_encoder.h"
#include "tools/writers/write_error.h"

#include <gtest/gtest.h>

#include <cstring>

namespace nv::writers {
namespace {

Bytes B(std::initializer_list<int> v) {
  Bytes b;
  for (int x : v) b.push_back(static_cast<uint8_t>(x));
  return b;
}

TEST(ExprEncoder, IntegersTakeTheSmallestToken) {
  EXPECT_EQ(Expr::integer(127).bytes(), B({'B', 1, 0, 127}));
  EXPECT_EQ(Expr::integer(-128).bytes(), B({'B', 1, 0, 0x80}));
  EXPECT_EQ(Expr::integer(128).bytes(), B({'W', 2, 0, 0x80, 0}));
  EXPECT_EQ(Expr::integer(-32769).bytes(), B({'I', 4, 0, 0xFF, 0x7F, 0xFF, 0xFF}));
  EXPECT_EQ(Expr::integer(int64_t{1} << 31).bytes(), B({'L', 8, 0, 0, 0, 0, 0x80, 0, 0, 0, 0}));
  EXPECT_EQ(Expr::integer(INT64_MIN).bytes(), B({'L', 8, 0, 0, 0, 0, 0, 0, 0, 0, 0x80}));
}

TEST(ExprEncoder, FloatsVariablesAndOperators) {
  Expr f = Expr::real(1.5);
  ASSERT_EQ(f.size(), 11u);
  EXPECT_EQ(f.bytes()[0], 'F');
  double d;
  std::memcpy(&d, f.bytes().data() + 3, 8);
  EXPECT_EQ(d, 1.5);

  // b[i * 2] + 1 with b = 1001, i = 1002 (0x3EA)
  Expr e;
  e.element(1001).scalar(1002, '#').push_int(2).op(expr::kMul).close().push_int(1).op(expr::kAdd);
  EXPECT_EQ(e.bytes(), B({'V', 3, 0, '`', 0xE9, 0x03, 'H', 3, 0, '#', 0xEA, 0x03, 'B', 1, 0, 2, '*', 0, 0, ')', 0, 0,
                          'B', 1, 0, 1, '+', 0, 0}));
  EXPECT_EQ(Expr().whole(65535).bytes(), B({'v', 3, 0, '`', 0xFF, 0xFF}));
  EXPECT_THROW(Expr().scalar(65536), WriteError);
}

TEST(ExprEncoder, TextIsEscapedAndGetsAFreeDelimiter) {
  EXPECT_EQ(Expr::text("ab").bytes(), B({'M', 4, 0, '"', 'a', 'b', '"'}));
  // A text containing the double quote gets the next candidate delimiter.
  EXPECT_EQ(Expr::text("a\"b").bytes(), B({'M', 5, 0, '\'', 'a', '"', 'b', '\''}));
  // Backslash, line feed and tab become escapes the evaluator undoes.
  EXPECT_EQ(Expr::text("\\\n\t").bytes(), B({'M', 8, 0, '"', '\\', '\\', '\\', 'n', '\\', 't', '"'}));
  // A double-byte character whose trail byte equals a delimiter candidate
  // ("\x81\x7C" has the trail byte '|') does not block that delimiter, and
  // a trail byte 0x5C is not taken for a backslash.
  Bytes sjis = Expr::text("\x95\x5C").bytes();
  EXPECT_EQ(sjis, B({'M', 4, 0, '"', 0x95, 0x5C, '"'}));
  EXPECT_THROW(Expr().push_literal("a\"b"), WriteError);
  EXPECT_THROW(Expr::text("\x82"), WriteError);  // text cut inside a character
  EXPECT_EQ(Expr().push_literal("x\\\"", '|').bytes(), B({'M', 5, 0, '|', 'x', '\\', '"', '|'}));
}

}  // namespace
}  // namespace nv::writers
