// LET and the declarations, run as titles.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "formats/command_table.h"
#include "host/engine.h"
#include "tests/data/title_patch.h"
#include "tests/support/title_run.h"

namespace nv::data {
namespace {

using test::TitleRun;

TEST(Let, IntegerOperators) {
  TitleRun r(
      "INT a = 17, b = 17, c = 17, d = -17, e = -17, f = 12, g = 12, h = 12, z = 5\n"
      "a += 5\nb -= 20\nc *= 3\nd /= 5\ne %= 5\nf &= 10\ng |= 3\nh ^= 10\nz /= 0\n"
      "INT w = 0x7FFFFFFFFFFFFFFF, q = 9\nw += 1\nq %= 0\n");
  ASSERT_TRUE(r.ok()) << r.messages();
  r.run(3);
  EXPECT_EQ(r.first_error(), "");
  EXPECT_EQ(r.int_var("a"), 22);
  EXPECT_EQ(r.int_var("b"), -3);
  EXPECT_EQ(r.int_var("c"), 51);
  EXPECT_EQ(r.int_var("d"), -3);  // truncates toward zero
  EXPECT_EQ(r.int_var("e"), -2);  // sign of the left operand
  EXPECT_EQ(r.int_var("f"), 8);
  EXPECT_EQ(r.int_var("g"), 15);
  EXPECT_EQ(r.int_var("h"), 6);
  EXPECT_EQ(r.int_var("z"), 5);  // divisor 0 keeps the value
  EXPECT_EQ(r.int_var("w"), INT64_MIN);  // 64-bit wrap
  EXPECT_EQ(r.int_var("q"), 9);
}

TEST(Let, FloatOperators) {
  TitleRun r(
      "FLT a = 1.5, b = 1.5, c = 1.5, d = 7.5, m = 7.9, z = 4.25, y = 4.25, n = 13.7, o = 5.9, x = 6.0\n"
      "a += 2\nb -= 0.25\nc *= 3\nd /= 2.5\nm %= 2.5\nz /= 0\ny %= 0.5\nn &= 6\no |= 2.9\nx ^= 3\n"
      "INT i = 0\ni = 7.9\n");
  ASSERT_TRUE(r.ok()) << r.messages();
  r.run(3);
  EXPECT_EQ(r.first_error(), "");
  EXPECT_DOUBLE_EQ(r.float_var("a"), 3.5);
  EXPECT_DOUBLE_EQ(r.float_var("b"), 1.25);
  EXPECT_DOUBLE_EQ(r.float_var("c"), 4.5);
  EXPECT_DOUBLE_EQ(r.float_var("d"), 3.0);
  EXPECT_DOUBLE_EQ(r.float_var("m"), 1.0);   // 7 mod 2
  EXPECT_DOUBLE_EQ(r.float_var("z"), 4.25);  // divisor 0.0 keeps the value
  EXPECT_DOUBLE_EQ(r.float_var("y"), 4.25);  // a divisor truncating to 0 as well
  EXPECT_DOUBLE_EQ(r.float_var("n"), 4.0);   // 13 & 6
  EXPECT_DOUBLE_EQ(r.float_var("o"), 7.0);   // 5 | 2
  EXPECT_DOUBLE_EQ(r.float_var("x"), 5.0);   // 6 ^ 3
  EXPECT_EQ(r.int_var("i"), 7);
}

TEST(Let, IntegerDivisionOfTheSmallestValueByMinusOneWraps) {
  TitleRun r("INT a = 0x7FFFFFFFFFFFFFFF, b = 0\na = -a - 1\nb = a\na /= -1\nb %= -1\n");
  ASSERT_TRUE(r.ok()) << r.messages();
  r.run(3);
  EXPECT_EQ(r.first_error(), "");
  EXPECT_EQ(r.int_var("a"), INT64_MIN);
  EXPECT_EQ(r.int_var("b"), 0);
}

TEST(Let, TextAssignAppendAndElements) {
  TitleRun r("STR s = \"ab\", t[3]\ns += \"cd\"\nt[2] = \"あ\"\nt[2] += s\nINT n = 0\nn = \"42\"\n");
  ASSERT_TRUE(r.ok()) << r.messages();
  r.run(3);
  EXPECT_EQ(r.first_error(), "");
  EXPECT_EQ(r.text_var("s"), "abcd");
  EXPECT_EQ(r.text_var("t", 2), "あabcd");
  EXPECT_EQ(r.text_var("t", 1), "");
  EXPECT_EQ(r.int_var("n"), 42);
}

TEST(Let, TextTargetsGrowPastTheLengthOfAStringTemporary) {
  // The target is only named, never read as a value: appending goes on
  // past 4095 bytes, for a scalar and for an element alike.
  TitleRun r(
      "STR s = \"\", t[2]\nLOOP[SET=10000]\n  s += \"x\"\n  t[1] += \"ab\"\nLOOPEND\n"
      "s += \"y\"\nt[1] = \"short\"\n");
  ASSERT_TRUE(r.ok()) << r.messages();
  r.run(3);
  EXPECT_EQ(r.first_error(), "");
  EXPECT_EQ(r.text_var("s").size(), 10001u);
  EXPECT_EQ(r.text_var("s"), std::string(10000, 'x') + "y");
  EXPECT_EQ(r.text_var("t", 1), "short");
}

TEST(Let, LoopOfArithmeticOnElementsAndTextBuilding) {
  // The decoded expressions and their fall-backs inside one loop: array
  // elements indexed by a variable, compound assignments, comparisons, a
  // float variable in an integer expression and a text built by appends.
  TitleRun r(
      "INT a[100], i = 0, k = 0, total = 0, hits = 0\nFLT f = 1.5\nSTR s = \"\"\n"
      "LOOP[SET=3500]\n"
      "  i += 1\n  k = i % 100\n  a[k] += i * 3\n"
      "  IF a[k] > 100000\n    a[k] -= 100000\n    hits += 1\n  IFEND\n"
      "  total += a[k] + f\n"
      "  IF i % 1000 == 0\n    s = \"\"\n  IFEND\n  s += \"x\"\nLOOPEND\n");
  ASSERT_TRUE(r.ok()) << r.messages();
  r.run(3);
  EXPECT_EQ(r.first_error(), "");
  int64_t a[100] = {}, total = 0, hits = 0;
  for (int64_t i = 1; i <= 3500; ++i) {
    int64_t k = i % 100;
    a[k] += i * 3;
    if (a[k] > 100000) {
      a[k] -= 100000;
      ++hits;
    }
    total += a[k] + 1;  // a float in an integer expression is truncated
  }
  EXPECT_EQ(r.int_var("total"), total);
  EXPECT_EQ(r.int_var("hits"), hits);
  EXPECT_EQ(r.int_var("a", 57), a[57]);
  EXPECT_EQ(r.text_var("s"), std::string(501, 'x'));  // emptied at 3000, then 501 appends
}

TEST(Let, DecodedAssignmentsFollowARedeclaredArray) {
  // Each round re-declares `a` with n elements; the element LETs were
  // decoded in the first round and must check the size the array has now.
  TitleRun r(R"(
G_INT after = 0, seen[3]
INT n = 4, k = 0, round = 0
LOOP[SET=3]
  INT a[n] = 1
  k = n - 1
  a[k] += 5
  a[0] = a[k] * 2
  seen[round] = a[0]
  round += 1
  n -= 2
LOOPEND
after = 1
)");
  ASSERT_TRUE(r.ok()) << r.messages();
  r.run(3);
  EXPECT_EQ(r.int_var("seen", 0), 12);  // a[3] of four elements
  EXPECT_EQ(r.int_var("seen", 1), 12);  // a[1] of two
  // Third round: `INT a[0]` is refused before any LET runs on it.
  EXPECT_NE(r.first_error(), "");
  EXPECT_EQ(r.int_var("seen", 2), 0);
  EXPECT_EQ(r.int_var("after"), 0);

  // An index that leaves the array after decoding is reported, and nothing is written.
  TitleRun out(R"(
G_INT b[2], k = 0, rounds = 0
LOOP[SET=3]
  b[k] += 7
  rounds += 1
  k += 1
LOOPEND
)");
  ASSERT_TRUE(out.ok()) << out.messages();
  out.run(3);
  EXPECT_NE(out.first_error(), "");
  EXPECT_EQ(out.int_var("rounds"), 2);
  EXPECT_EQ(out.int_var("b", 0), 7);
  EXPECT_EQ(out.int_var("b", 1), 7);
}

TEST(Let, TextWithAnotherOperatorIsRefused) {
  // The compiler refuses -= on text, so the operator byte is set afterwards.
  TitleRun r("STR s = \"ab\"\ns += \"cd\"\n");
  ASSERT_TRUE(r.ok()) << r.messages();
  ASSERT_TRUE(r.start());
  test::ArgPatch p = test::nth_instruction(r.engine(), cmd::LET, 0);
  ASSERT_TRUE(p.valid());
  p.record(0)[3] = 2;
  r.run(3);
  EXPECT_NE(r.first_error().find("変数を初期化しないで使用しようとしました。"), std::string::npos) << r.first_error();
  EXPECT_EQ(r.text_var("s"), "ab");
}

TEST(Let, SystemVariablesTakePlainAssignments) {
  TitleRun r(
      "SYS_DROPCOUNT = 3\nSYS_CLOSE = 1\nSYS_90[0] = 7\nSYS_90[3] = 9\nSYS_68 = \"caption\"\n"
      "INT a = SYS_DROPCOUNT, b = SYS_CLOSE, c = SYS_90[0], d = SYS_90[3]\nSTR s = SYS_68\n");
  ASSERT_TRUE(r.ok()) << r.messages();
  ASSERT_TRUE(r.start());
  // A compound operator still assigns plainly.
  test::ArgPatch p = test::nth_instruction(r.engine(), cmd::LET, 1);
  ASSERT_TRUE(p.valid());
  p.record(0)[3] = 1;
  r.run(3);
  EXPECT_EQ(r.first_error(), "");
  EXPECT_EQ(r.int_var("a"), 3);
  EXPECT_EQ(r.engine().sysvars.dropped_count, 3);
  EXPECT_EQ(r.int_var("b"), 1);
  EXPECT_EQ(r.int_var("c"), 0);  // element 0 of 90 is kept
  EXPECT_EQ(r.int_var("d"), 9);
  EXPECT_EQ(r.text_var("s"), "caption");
}

TEST(Let, OtherSystemVariablesRefuseAssignment) {
  // Written to 15, redirected to 60 (the format version) in the target token.
  TitleRun r("SYS_DROPCOUNT = 3\n");
  ASSERT_TRUE(r.ok()) << r.messages();
  ASSERT_TRUE(r.start());
  test::ArgPatch p = test::nth_instruction(r.engine(), cmd::LET, 0);
  ASSERT_TRUE(p.valid());
  uint8_t* t = p.expression(0);
  ASSERT_EQ(t[0], 'H');
  t[4] = 60;
  t[5] = 0;
  r.run(3);
  EXPECT_NE(r.first_error().find("代入が許可されていないシステム変数です。"), std::string::npos) << r.first_error();
  EXPECT_EQ(r.engine().sysvars.dropped_count, 0);
}

TEST(Declare, ShapesValuesAndRedeclaration) {
  TitleRun r(
      "INT n = 3\nINT a[n * 2] = n\nFLT f[2][3] = 0.5\nSTR s[2] = \"x\"\nINT k\n"
      "a[5] = 9\nINT a[2] = 1\nINT rows = 0, cols = 0\n");
  ASSERT_TRUE(r.ok()) << r.messages();
  r.run(3);
  EXPECT_EQ(r.first_error(), "");
  const Variable* a = r.engine().vars.find(static_cast<uint32_t>(r.var_number("a")));
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->dim_count, 1);
  EXPECT_EQ(a->dims[0], 2);  // the second declaration replaced the first
  EXPECT_EQ(r.int_var("a", 1), 1);
  const Variable* f = r.engine().vars.find(static_cast<uint32_t>(r.var_number("f")));
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->dim_count, 2);
  EXPECT_EQ(f->count, 6);
  EXPECT_DOUBLE_EQ(r.float_var("f", 5), 0.5);
  EXPECT_EQ(r.text_var("s", 1), "x");
  const Variable* k = r.engine().vars.find(static_cast<uint32_t>(r.var_number("k")));
  ASSERT_NE(k, nullptr);
  EXPECT_EQ(k->dim_count, 0);
  EXPECT_EQ(k->count, 1);
}

TEST(Declare, ZeroSizeIsRefused) {
  TitleRun r("INT n = 0\nINT a[n]\nINT after = 1\n");
  ASSERT_TRUE(r.ok()) << r.messages();
  r.run(3);
  EXPECT_NE(r.first_error().find("配列サイズが 不正 です。"), std::string::npos) << r.first_error();
  EXPECT_EQ(r.int_var("after"), 0);
}

}  // namespace
}  // namespace nv::data
