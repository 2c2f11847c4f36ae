// VARACT, run as titles.
#include <gtest/gtest.h>

#include <string>

#include "host/engine.h"
#include "tests/support/title_run.h"

namespace nv::data {
namespace {

using test::TitleRun;

bool has(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

TEST(VaractType, TextAndNumbers) {
  TitleRun r(
      "STR a = \"12.5\", b = \"42\", c = \"\", d = \"7.9\", t1, t2\nFLT f = 0.0, g = 1.5\nINT i = 5, j = 0, k = 3\n"
      "VARACT[SET=a LET=f TYPE=1]\nVARACT[SET=b LET=j TYPE=1]\nVARACT[SET=c LET=k TYPE=1]\n"
      "VARACT[SET=d LET=i TYPE=1]\nVARACT[SET=k LET=t1 TYPE=1]\nVARACT[SET=g LET=t2 TYPE=1]\n");
  ASSERT_TRUE(r.ok()) << r.messages();
  r.run(3);
  EXPECT_EQ(r.first_error(), "");
  EXPECT_DOUBLE_EQ(r.float_var("f"), 12.5);
  EXPECT_EQ(r.int_var("j"), 42);
  EXPECT_EQ(r.int_var("k"), 0);  // an empty text is 0
  EXPECT_EQ(r.int_var("i"), 7);  // a decimal text truncated for an integer
  EXPECT_EQ(r.text_var("t1"), "0");
  EXPECT_EQ(r.text_var("t2"), "1.500000");
}

TEST(VaractType, RefusedTextsAndPairs) {
  TitleRun minus("STR a = \"-5\"\nINT i = 1\nVARACT[SET=a LET=i TYPE=1]\n");
  ASSERT_TRUE(minus.ok()) << minus.messages();
  minus.run(3);
  EXPECT_TRUE(has(minus.first_error(), "変数の中身に半角数字以外の文字が入っています。")) << minus.first_error();
  EXPECT_EQ(minus.int_var("i"), 1);

  TitleRun wide("STR a = \"１２\"\nINT i = 1\nVARACT[SET=a LET=i TYPE=1]\n");
  ASSERT_TRUE(wide.ok()) << wide.messages();
  wide.run(3);
  EXPECT_TRUE(has(wide.first_error(), "半角数字以外")) << wide.first_error();

  TitleRun pair("INT i = 1\nFLT f = 0.0\nVARACT[SET=i LET=f TYPE=1]\n");
  ASSERT_TRUE(pair.ok()) << pair.messages();
  pair.run(3);
  EXPECT_TRUE(has(pair.first_error(), "変数の変換エラーです。")) << pair.first_error();
}

TEST(VaractCopyCut, DoubleByteCharactersCountOnce) {
  TitleRun r(
      "STR s = \"あいう\", t, u = \"aあbい\", v = \"xyz\"\n"
      "VARACT[SET=s LET=t COPY=1 POS=2 LENGTH=2]\n"
      "VARACT[SET=u CUT=1 POS=2 LENGTH=2]\n"
      "VARACT[SET=v COPY=1 LENGTH=2]\n");
  ASSERT_TRUE(r.ok()) << r.messages();
  r.run(3);
  EXPECT_EQ(r.first_error(), "");
  EXPECT_EQ(r.text_var("t"), "いう");
  EXPECT_EQ(r.text_var("u"), "aい");  // without LET the result replaces SET
  EXPECT_EQ(r.text_var("v"), "xy");
}

TEST(VaractCopyCut, PositionAndRangeErrors) {
  struct Case {
    const char* line;
    const char* message;
  } cases[] = {
      {"VARACT[SET=s LET=t COPY=1 POS=4 LENGTH=1]", "コピー位置が文字数を超えています。"},
      {"VARACT[SET=s LET=t COPY=1 POS=2 LENGTH=3]", "コピー範囲が文字数を超えています。"},
      {"VARACT[SET=s LET=t CUT=1 POS=4 LENGTH=1]", "切り取り位置が文字数を超えています。"},
      {"VARACT[SET=s LET=t CUT=1 POS=3 LENGTH=2]", "切り取り範囲が文字数を超えています。"},
      {"VARACT[SET=s LET=n COPY=1 POS=1 LENGTH=1]", "指定された変数が文字列変数ではありません。"},
      {"VARACT[SET=n LET=t CUT=1 POS=1 LENGTH=1]", "指定された変数が文字列変数ではありません。"},
  };
  for (const Case& c : cases) {
    TitleRun r(std::string("STR s = \"あいう\", t = \"keep\"\nINT n = 0\n") + c.line + "\n");
    ASSERT_TRUE(r.ok()) << r.messages();
    r.run(3);
    EXPECT_TRUE(has(r.first_error(), c.message)) << c.line << ": " << r.first_error();
    EXPECT_EQ(r.text_var("t"), "keep") << c.line;
  }
}

TEST(VaractText, WidthAndCase) {
  TitleRun r(
      "STR s = \"aB1\", w, h, up, lo, z = \"ＡＢｃ\"\n"
      "VARACT[SET=s LET=w HANTOZEN=1]\nVARACT[SET=z LET=h ZENTOHAN=1]\n"
      "VARACT[SET=z LET=up UPPER=1]\nVARACT[SET=s LET=lo LOWER=1]\n");
  ASSERT_TRUE(r.ok()) << r.messages();
  r.run(3);
  EXPECT_EQ(r.first_error(), "");
  EXPECT_EQ(r.text_var("w"), "ａＢ１");
  EXPECT_EQ(r.text_var("h"), "ABc");
  EXPECT_EQ(r.text_var("up"), "ＡＢＣ");
  EXPECT_EQ(r.text_var("lo"), "ab1");
  EXPECT_EQ(r.text_var("s"), "aB1");

  TitleRun no_let("STR s = \"a\"\nVARACT[SET=s UPPER=1]\n");
  ASSERT_TRUE(no_let.ok()) << no_let.messages();
  no_let.run(3);
  EXPECT_TRUE(has(no_let.first_error(), "変数を初期化しないで使用しようとしました。")) << no_let.first_error();
}

TEST(VaractArrays, PushAndPop) {
  TitleRun r(
      "INT a[3], b[3], c[3]\nSTR s[3]\n"
      "a[0] = 1\na[1] = 2\na[2] = 3\nb[0] = 1\nb[1] = 2\nb[2] = 3\nc[0] = 1\nc[1] = 2\nc[2] = 3\n"
      "s[0] = \"x\"\ns[1] = \"y\"\ns[2] = \"z\"\n"
      "VARACT[SET=a PUSH=0]\nVARACT[SET=b POP=0]\nVARACT[SET=c PUSH=7]\nVARACT[SET=s POP=1]\n");
  ASSERT_TRUE(r.ok()) << r.messages();
  r.run(3);
  EXPECT_EQ(r.first_error(), "");
  EXPECT_EQ(r.int_var("a", 0), 0);
  EXPECT_EQ(r.int_var("a", 1), 1);
  EXPECT_EQ(r.int_var("a", 2), 2);
  EXPECT_EQ(r.int_var("b", 0), 2);
  EXPECT_EQ(r.int_var("b", 1), 3);
  EXPECT_EQ(r.int_var("b", 2), 0);
  EXPECT_EQ(r.int_var("c", 1), 2);  // beyond the end: only the last is cleared
  EXPECT_EQ(r.int_var("c", 2), 0);
  EXPECT_EQ(r.text_var("s", 0), "x");
  EXPECT_EQ(r.text_var("s", 1), "z");
  EXPECT_EQ(r.text_var("s", 2), "");

  TitleRun negative("INT a[3]\nVARACT[SET=a PUSH=-1]\n");
  ASSERT_TRUE(negative.ok()) << negative.messages();
  negative.run(3);
  EXPECT_TRUE(has(negative.first_error(), "配列に指定した要素値が")) << negative.first_error();
}

TEST(VaractArrays, Dimsize) {
  TitleRun r("INT a[3] = 4, i = 4\nVARACT[SET=a DIMSIZE+=2]\nINT n = 0\nn = a[i] + 1\nSTR s[1] = \"k\"\nVARACT[SET=s DIMSIZE=3]\n");
  ASSERT_TRUE(r.ok()) << r.messages();
  r.run(3);
  EXPECT_EQ(r.first_error(), "");
  const Variable* a = r.engine().vars.find(static_cast<uint32_t>(r.var_number("a")));
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->dims[0], 5);
  EXPECT_EQ(r.int_var("a", 2), 4);
  EXPECT_EQ(r.int_var("n"), 1);  // the new element is 0
  EXPECT_EQ(r.text_var("s", 0), "k");
  EXPECT_EQ(r.text_var("s", 2), "");

  // -= to 0: the message, the task's turn ends, the array stays.
  TitleRun zero("INT a[3] = 4\nVARACT[SET=a DIMSIZE-=3]\nINT after = 1\n");
  ASSERT_TRUE(zero.ok()) << zero.messages();
  zero.run(1);
  EXPECT_TRUE(has(zero.dialogs(), "変更後の配列サイズが不正です。")) << zero.dialogs();
  const Variable* z = zero.engine().vars.find(static_cast<uint32_t>(zero.var_number("a")));
  ASSERT_NE(z, nullptr);
  EXPECT_EQ(z->dims[0], 3);
  EXPECT_EQ(zero.int_var("a", 2), 4);
  EXPECT_EQ(zero.int_var("after"), 0);
  EXPECT_FALSE(zero.stopped());

  TitleRun grid("INT g[2][2]\nVARACT[SET=g DIMSIZE=4]\nVARACT[SET=g PUSH=0]\nVARACT[SET=g POP=0]\n");
  ASSERT_TRUE(grid.ok()) << grid.messages();
  grid.run(5);
  EXPECT_TRUE(has(grid.dialogs(), "配列サイズを変更しようとしましたが、この変数は１次元配列ではありません。"));
  EXPECT_TRUE(has(grid.dialogs(), "配列挿入処理をしようとしましたが"));
  EXPECT_TRUE(has(grid.dialogs(), "配列削除処理をしようとしましたが"));
}

}  // namespace
}  // namespace nv::data
