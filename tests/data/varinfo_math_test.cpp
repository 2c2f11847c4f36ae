// VARINFO and MATH, run as titles.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>

#include "host/engine.h"
#include "tests/support/title_run.h"

namespace nv::data {
namespace {

using test::TitleRun;

TEST(Varinfo, TypeShapeAndLength) {
  TitleRun r(
      "INT g[2][3], t1 = 0, t2 = 0, t3 = 0, dn = 0, d1 = 0, d2 = 0, d3 = 0, len = 0, st1 = 0, st2 = 0\n"
      "FLT f = 0.0\nSTR s = \"aあb\", w = \"あa\"\n"
      "VARINFO[SET=g LET=t1 TYPE=1]\nVARINFO[SET=f LET=t2 TYPE=1]\nVARINFO[SET=s LET=t3 TYPE=1]\n"
      "VARINFO[SET=g LET=dn DIMNUM=1]\nVARINFO[SET=g LET=d1 DIMSIZE=1]\nVARINFO[SET=g LET=d2 DIMSIZE2=1]\n"
      "VARINFO[SET=g LET=d3 DIMSIZE3=1]\nVARINFO[SET=s LET=len LENGTH=1]\n"
      "VARINFO[SET=s LET=st1 STRTYPE=1]\nVARINFO[SET=w LET=st2 STRTYPE=1]\n");
  ASSERT_TRUE(r.ok()) << r.messages();
  r.run(3);
  EXPECT_EQ(r.first_error(), "");
  EXPECT_EQ(r.int_var("t1"), 1);
  EXPECT_EQ(r.int_var("t2"), 2);
  EXPECT_EQ(r.int_var("t3"), 3);
  EXPECT_EQ(r.int_var("dn"), 2);
  EXPECT_EQ(r.int_var("d1"), 2);
  EXPECT_EQ(r.int_var("d2"), 3);
  EXPECT_EQ(r.int_var("d3"), 0);
  EXPECT_EQ(r.int_var("len"), 3);  // the double-byte character counts once
  EXPECT_EQ(r.int_var("st1"), 1);
  EXPECT_EQ(r.int_var("st2"), 2);
}

TEST(Varinfo, Errors) {
  TitleRun empty("STR s\nINT n = 0\nVARINFO[SET=s LET=n STRTYPE=1]\n");
  ASSERT_TRUE(empty.ok()) << empty.messages();
  empty.run(3);
  EXPECT_NE(empty.first_error().find("VARINFO[STRTYPE]\n\n変数に文字が格納されていません。"), std::string::npos)
      << empty.first_error();

  TitleRun number("INT a = 5, n = 0\nVARINFO[SET=a LET=n LENGTH=1]\n");
  ASSERT_TRUE(number.ok()) << number.messages();
  number.run(3);
  EXPECT_NE(number.first_error().find("指定された変数が文字列変数ではありません。"), std::string::npos)
      << number.first_error();
}

TEST(Varinfo, Search) {
  TitleRun r(
      "INT a[4], i1 = 0, i2 = 0, i3 = 0, i4 = 0, f1 = 0, s1 = 0, s2 = 0\nFLT f[3]\nSTR s[3]\n"
      "a[1] = 7\na[3] = 7\nf[2] = 2.0\ns[1] = \"あ\"\n"
      "VARINFO[SET=a LET=i1 SEARCH=1 INT=7]\nVARINFO[SET=a LET=i2 SEARCH=1 INT=7 NO=2]\n"
      "VARINFO[SET=a LET=i3 SEARCH=1 INT=7 NO=4]\nVARINFO[SET=a LET=i4 SEARCH=1 INT=8]\n"
      "VARINFO[SET=f LET=f1 SEARCH=1 FLT=2]\n"
      "VARINFO[SET=s LET=s1 SEARCH=1 STR=\"あ\"]\nVARINFO[SET=s LET=s2 SEARCH=1 STR=\"い\"]\n");
  ASSERT_TRUE(r.ok()) << r.messages();
  r.run(3);
  EXPECT_EQ(r.first_error(), "");
  EXPECT_EQ(r.int_var("i1"), 1);
  EXPECT_EQ(r.int_var("i2"), 3);
  EXPECT_EQ(r.int_var("i3"), -1);  // NO equal to the size
  EXPECT_EQ(r.int_var("i4"), -1);
  EXPECT_EQ(r.int_var("f1"), 2);
  EXPECT_EQ(r.int_var("s1"), 1);
  EXPECT_EQ(r.int_var("s2"), -1);
}

TEST(Math, Functions) {
  TitleRun r(
      "FLT s = 0.0, c = 0.0, p = 0.0, a2 = 0.0, q = 0.0, l = 0.0, af = 0.0, none = 9.0\nINT ai = 0, si = 0\n"
      "MATH[LET=s SIN=1 SET=SYS_PI / 2]\nMATH[LET=c COS=1 SET=0]\nMATH[LET=p POW=1 SET=2 SET2=10]\n"
      "MATH[LET=a2 ATAN2=1 SET=1 SET2=-1]\nMATH[LET=q SQRT=1 SET=2.25]\nMATH[LET=l LOG10=1 SET=1000]\n"
      "MATH[LET=ai ABS=1 SET=-7]\nMATH[LET=af ABS=1 SET=-2.5]\nMATH[LET=si SQRT=1 SET=10]\n"
      "MATH[LET=none SET=1]\nMATH[LET=c COS=1 SIN=1 SET=0]\n");
  ASSERT_TRUE(r.ok()) << r.messages();
  r.run(3);
  EXPECT_EQ(r.first_error(), "");
  EXPECT_DOUBLE_EQ(r.float_var("s"), 1.0);
  EXPECT_DOUBLE_EQ(r.float_var("c"), 0.0);  // SIN comes before COS
  EXPECT_DOUBLE_EQ(r.float_var("p"), 1024.0);
  EXPECT_DOUBLE_EQ(r.float_var("a2"), std::atan2(1.0, -1.0));
  EXPECT_DOUBLE_EQ(r.float_var("q"), 1.5);
  EXPECT_DOUBLE_EQ(r.float_var("l"), 3.0);
  EXPECT_EQ(r.int_var("ai"), 7);
  EXPECT_DOUBLE_EQ(r.float_var("af"), 2.5);
  EXPECT_EQ(r.int_var("si"), 3);  // truncated for an integer target
  EXPECT_DOUBLE_EQ(r.float_var("none"), 9.0);
}

TEST(Math, RandomStaysInItsRange) {
  TitleRun r("INT v[200], i = 0\nLOOP 200\n  MATH[LET=v[i] RND=1 SET=5 SET2=1]\n  i += 1\nLOOPEND\n");
  ASSERT_TRUE(r.ok()) << r.messages();
  r.run(3);
  EXPECT_EQ(r.first_error(), "");
  EXPECT_EQ(r.int_var("i"), 200);
  std::set<int64_t> seen;
  for (int k = 0; k < 200; ++k) {
    int64_t v = r.int_var("v", k);
    EXPECT_GE(v, 1);
    EXPECT_LE(v, 5);
    seen.insert(v);
  }
  EXPECT_EQ(seen.size(), 5u);
}

TEST(Math, RandomOverTheWholeRangeDoesNotDivideByZero) {
  TitleRun r("INT v = 0, lo = 0x7FFFFFFFFFFFFFFF\nlo = -lo - 1\nMATH[LET=v RND=1 SET=lo SET2=0x7FFFFFFFFFFFFFFF]\n");
  ASSERT_TRUE(r.ok()) << r.messages();
  r.run(3);
  EXPECT_EQ(r.first_error(), "");
  EXPECT_LT(r.int_var("v"), 0);  // INT64_MIN + a 32-bit number
}

TEST(Math, HashIsTheZlibCrc) {
  TitleRun r("INT h = 0, z = 1\nMATH[LET=h HASH=1 SETSTR=\"abc\"]\nMATH[LET=z HASH=1 SETSTR=\"\"]\n");
  ASSERT_TRUE(r.ok()) << r.messages();
  r.run(3);
  EXPECT_EQ(r.first_error(), "");
  EXPECT_EQ(r.int_var("h"), 0x352441C2);
  EXPECT_EQ(r.int_var("z"), 0);
}

}  // namespace
}  // namespace nv::data
