// Infix expressions compiled to postfix tokens: precedence, variable
// numbers, selectors and the conversions the compiler inserts.
#include <gtest/gtest.h>

#include "tests/tools/vizud/vizud_test_support.h"

namespace nv::test {
namespace {

// Compiles `decls` then "LET <target> = <expr>" and returns the LET records.
struct Let {
  Compiled c;
  std::string target, source;
  uint8_t target_selector = 0, source_selector = 0, assign = 0;
};
Let let(const std::string& decls, const std::string& line) {
  Let r;
  r.c = compile_one(decls + "\n" + line + "\n");
  EXPECT_TRUE(r.c.ok) << r.c.messages();
  auto lets = find_all(r.c, cmd::LET);
  if (lets.empty()) return r;
  const auto* in = lets.back();
  EXPECT_EQ(in->args.size(), 2u);
  r.target = show_tokens(in->args[0].data);
  r.source = show_tokens(in->args[1].data);
  r.target_selector = in->args[0].selector;
  r.source_selector = in->args[1].selector;
  r.assign = in->args[0].assign;
  return r;
}

TEST(VizudExpression, PrecedenceAndAssociativity) {
  auto r = let("INT a, b, c, x", "x = a + b * c - (a - b) / 2 % c");
  // 1000.. are a, b, c, x in declaration order.
  EXPECT_EQ(r.source, "H1000 H1001 H1002 * + H1000 H1001 - B2 / H1002 % -");
  EXPECT_EQ(r.target, "H1003");
  r = let("INT a, b, x", "x = a < b == b > a && a != 0 || !b");
  EXPECT_EQ(r.source, "H1000 H1001 < H1001 H1000 > = H1000 B0 ! & H1001 B0 = |");
  r = let("INT a, b, x", "x = a & b | a ^ b");
  EXPECT_EQ(r.source, "H1000 H1001 A H1000 H1001 ^ O");
  r = let("INT a, x", "x = -a + -5 - ~a");
  EXPECT_EQ(r.source, "H1000 R B-5 + H1000 B-1 ^ -");
}

TEST(VizudExpression, ConstantsUseTheSmallestToken) {
  auto r = let("INT x", "x = 127 + 128 + -32768 + 32768 + 2147483647 + 2147483648 + -9223372036854775808");
  EXPECT_EQ(r.source,
            "B127 W128 + W-32768 + I32768 + I2147483647 + L2147483648 + L-9223372036854775808 +");
  r = let("INT x", "x = 0x7fffffffffffffff");
  EXPECT_EQ(r.source, "L9223372036854775807");
}

TEST(VizudExpression, SelectorFollowsTheArithmetic) {
  auto r = let("INT i\nFLT f", "i = i * 2");
  EXPECT_EQ(r.source_selector, 1);
  r = let("INT i\nFLT f", "i = f * 2");
  EXPECT_EQ(r.source_selector, 2);  // computed in double, stored truncated
  EXPECT_EQ(r.source, "H1001 B2 *");
  r = let("INT i\nFLT f", "f = i / 2");
  EXPECT_EQ(r.source_selector, 1);  // integer division, then stored as float
  r = let("INT i\nFLT f", "f = flt(i) / 2");
  EXPECT_EQ(r.source_selector, 2);
  EXPECT_EQ(r.source, "H1000 B2 /");
  r = let("STR s\nINT i\nFLT f", "s = \"n=\" + str(i)");
  EXPECT_EQ(r.source_selector, 3);
  EXPECT_EQ(r.source, "M'n=' H1001 s +");
  r = let("STR s\nINT i\nFLT f", "s = \"f=\" + str(f)");
  EXPECT_EQ(r.source_selector, 4);  // the float is formatted with %f
}

TEST(VizudExpression, ConversionsForTheTarget) {
  auto r = let("STR s\nINT i", "s = i + 1");
  EXPECT_EQ(r.source, "H1001 B1 + s");
  EXPECT_EQ(r.source_selector, 3);
  r = let("STR s\nINT i", "i = s");
  EXPECT_EQ(r.source, "H1000 i");
  r = let("STR s\nINT i", "i = int(\"12\") + 1");
  EXPECT_EQ(r.source, "M'12' i B1 +");
  // A float truncated toward zero through its fixed-notation text.
  r = let("FLT f\nINT i, a[4]", "i = a[int(f)] + int(f)");
  EXPECT_EQ(r.source, "V1002 H1000 ) H1000 s i +");
  EXPECT_EQ(r.source_selector, 2);
}

TEST(VizudExpression, IndexesArrayElementsAndWholeArrays) {
  auto r = let("INT m[2][8], i\nFLT f", "f = m[1][i + 1] + m[i, 3] * f");
  EXPECT_EQ(r.source, "V1000 B1 H1001 B1 + ) V1000 H1001 B3 ) H1002 * +");
  EXPECT_EQ(r.source_selector, 2);
  r = let("INT m[2][8]", "m[1][7] += 3");
  EXPECT_EQ(r.target, "V1000 B1 B7 )");
  EXPECT_EQ(r.assign, 1);
  EXPECT_EQ(r.target_selector, 1);
  // A bare array as a command argument is a whole-variable reference.
  auto c = compile_one("INT a[5]\nVARINFO[SET=a LET=a[0] DIMNUM=1]\n");
  ASSERT_TRUE(c.ok) << c.messages();
  auto in = find_all(c, cmd::VARINFO).at(0);
  EXPECT_EQ(show_tokens(in->args[0].data), "v1000");
  EXPECT_EQ(in->args[0].keyword, kw::VARINFO::SET);
  EXPECT_EQ(show_tokens(in->args[1].data), "V1000 B0 )");
}

TEST(VizudExpression, StringLiteralsKeepTheirText) {
  auto r = let("STR s", R"(s = "say \"hi\"\n" + 'it\'s')");
  // The line feed is written as the \n escape the evaluator reads.
  EXPECT_EQ(r.source, R"(M'say "hi"\n' M'it's' +)");
  auto c = compile_one("STR s = \"a\"\ns = s + \"\\\\\"\n");
  ASSERT_TRUE(c.ok) << c.messages();
  // A backslash is doubled so that the evaluator gives it back.
  EXPECT_EQ(show_tokens(find_all(c, cmd::LET).at(0)->args[1].data), R"(H1000 M'\\' +)");
}

TEST(VizudExpression, SystemVariablesByName) {
  auto r = let("INT x", "x = SYS_TIME[0][4] + KEY_SPACE + SYS_DROPCOUNT + PINT[2]");
  // key number of SPACE is 15: state variable 93 + 15.
  EXPECT_EQ(r.source, "V0 B0 B4 ) H108 + H15 + V34 B2 ) +");
  r = let("", "SYS_DROPCOUNT = 0");
  EXPECT_EQ(r.target, "H15");
}

TEST(VizudExpression, KeywordTypesGetConversions) {
  auto c = compile_one("INT n = 3\nSTR s = \"7\"\nCG[ID=n FILE=\"bg\" + str(n) X=s]\n");
  ASSERT_TRUE(c.ok) << c.messages();
  auto in = find_all(c, cmd::CG).at(0);
  ASSERT_EQ(in->args.size(), 3u);
  EXPECT_EQ(in->args[0].keyword, kw::CG::ID);
  EXPECT_EQ(show_tokens(in->args[0].data), "H1000 s");  // number to a text keyword
  EXPECT_EQ(in->args[0].selector, 3);
  EXPECT_EQ(show_tokens(in->args[1].data), "M'bg' H1000 s +");
  // A text variable given to an integer keyword is a plain reference
  // (output keywords name variables of any type), so it is not converted.
  EXPECT_EQ(show_tokens(in->args[2].data), "H1001");
  c = compile_one("STR s\nCG[ID=\"a\" X=s + \"1\"]\n");
  ASSERT_TRUE(c.ok) << c.messages();
  EXPECT_EQ(show_tokens(find_all(c, cmd::CG).at(0)->args[1].data), "H1000 M'1' + i");
}

TEST(VizudExpression, AssignmentOperatorsOfKeywords) {
  auto c = compile_one("CG[ID=\"a\" X+=5 Y-=1 A*=2 Z/=3]\n");
  ASSERT_TRUE(c.ok) << c.messages();
  auto in = find_all(c, cmd::CG).at(0);
  ASSERT_EQ(in->args.size(), 5u);
  EXPECT_EQ(in->args[1].assign, expr::kAssignAdd);
  EXPECT_EQ(in->args[2].assign, expr::kAssignSub);
  EXPECT_EQ(in->args[3].assign, expr::kAssignMul);
  EXPECT_EQ(in->args[4].assign, expr::kAssignDiv);
  auto r = let("INT x", "x ^= 6");
  EXPECT_EQ(r.assign, expr::kAssignXor);
}

}  // namespace
}  // namespace nv::test
