// Bad sources: every error is located (file:line:column), quotes the
// offending text, several are reported in one run, and nothing is written.
#include <gtest/gtest.h>

#include <sstream>

#include "tests/support/temp_dir.h"
#include "tests/tools/vizud/vizud_test_support.h"
#include "tools/vizud/vizud.h"

namespace nv::test {
namespace {

void expect_error(const std::string& source, const std::string& message) {
  auto c = compile_one(source);
  EXPECT_FALSE(c.ok) << source;
  EXPECT_NE(c.messages().find(message), std::string::npos) << "source:\n" << source << "\nmessages:\n"
                                                          << c.messages();
}

TEST(VizudErrors, LocatedMessagesQuoteTheOffendingText) {
  expect_error("CGG[ID=\"a\"]\n", "main.nvs:2:1: unknown command: \"CGG\"");
  expect_error("CG[ID=\"a\" ZZ=1]\n", "main.nvs:2:11: unknown keyword of CG: \"ZZ\"");
  expect_error("CG[ID=\"a\" ID=\"b\"]\n", "main.nvs:2:11: keyword given twice: \"ID\"");
  expect_error("IF 1\nWAIT\n", "main.nvs:2:1: IF is not closed by IFEND");
  expect_error("LOOP 2\nIF 1\nLOOPEND\n", "main.nvs:4:1: LOOPEND inside the IF opened at line 3");
  expect_error("IFEND\n", "main.nvs:2:1: IFEND without IF");
  expect_error("ELSE\n", "ELSE without IF");
  expect_error("IF 1\nELSE\nELSE\nIFEND\n", "main.nvs:4:1: second ELSE in one IF");
  expect_error("INT x\nx = (1 + \n", "main.nvs:3:10: expression expected at the end of the line");
  expect_error("INT x\nx = 1 +* 2\n", "main.nvs:3:8: expression expected before \"*\": \"*\"");
  expect_error("INT x\nx = 1 = 2\n", "main.nvs:3:7: unexpected text at the end of the statement");
  expect_error("INT x\nx = \"a\" + 1\n", "main.nvs:3:9: operator \"+\" mixes a text and a number; convert with "
                                         "str() or int(): \"+\"");
  expect_error("INT x\nFLT f\nx = f % 2\n", "main.nvs:4:7: operator \"%\" works on integers only");
  expect_error("INT x\nx = y\n", "main.nvs:3:5: unknown variable \"y\": \"y\"");
  expect_error("IF \"a\"\nIFEND\n", "main.nvs:2:4: a number is expected here, not a text");
  expect_error("INT x\nx = \"abc\n", "main.nvs:3:5: text literal is not closed");
  expect_error("GO *nowhere\n", "main.nvs:2:4: unknown label: \"*nowhere\"");
  expect_error("GO\n", "GO needs a label");
  expect_error("WINDOW[NO=4]\n", "main.nvs:2:11: WINDOW NO takes values 0 to 3: \"4\"");
  expect_error("LOOPBREAK\n", "LOOPBREAK outside any LOOP");
  expect_error("LOOP\nIFBREAK[LV=2]\nLOOPEND\n", "IFBREAK outside any IF");
  expect_error("GOSUB *SYSTEM_START[PINT=1 PSTR=\"a\"]\n", "GOSUB gives value 1 more than once");
  expect_error("IFBLEND\n", "this command is placed by the compiler");
  expect_error("CG[ID+=\"a\"]\n", "a text keyword takes only =");
  expect_error("x = 1\n", "main.nvs:2:1: unknown variable");
}

TEST(VizudErrors, DuplicateLabelsAcrossScriptsAndMissingEntry) {
  auto c = compile({{"a.nvs", "*twice\n"}, {"sub/b.nvs", "\n*twice\n"}});
  EXPECT_FALSE(c.ok);
  EXPECT_NE(c.messages().find("sub/b.nvs:2:1: label *twice is already defined at a.nvs:2"), std::string::npos)
      << c.messages();
  vizud::ProjectInput in;
  in.scripts.push_back({"a.nvs", "WAIT\n"});
  vizud::CompiledTitle t;
  vizud::Diagnostics d;
  EXPECT_FALSE(vizud::compile_title(in, t, d));
  EXPECT_NE(d.format().find("no label *SYSTEM_START"), std::string::npos);
}

TEST(VizudErrors, SeveralErrorsInOneRunAndAStopAtTheLimit) {
  auto c = compile_one("CGG[]\nINT x\nx = y\nIF 1\n");
  EXPECT_EQ(c.diag.count(), 3u) << c.messages();
  std::string many;
  for (int i = 0; i < 300; ++i) many += "NOPE[]\n";
  c = compile_one(many);
  EXPECT_EQ(c.diag.count(), 100u);
  EXPECT_NE(c.messages().find("too many errors"), std::string::npos);
}

TEST(VizudErrors, UnconvertibleCharacterIsLocated) {
  auto c = compile_one("INT x\nText with an emoji \xF0\x9F\x98\x80 here\n");
  EXPECT_FALSE(c.ok);
  EXPECT_NE(c.messages().find("main.nvs:3:20: character"), std::string::npos) << c.messages();
}

TEST(VizudErrors, ConfigurationErrors) {
  auto c = compile({{"main.nvs", "END\n"}}, "width = 100\nheight = 600\nsound = 2\nfoo = 1\nimage_order = png, tga\n");
  EXPECT_FALSE(c.ok);
  std::string m = c.messages();
  EXPECT_NE(m.find("title.cfg:3:9: sound must be 0 or 1: \"2\""), std::string::npos) << m;
  EXPECT_NE(m.find("title.cfg:4:1: unknown setting \"foo\""), std::string::npos) << m;
  EXPECT_NE(m.find("title.cfg:5:15: image_order must list"), std::string::npos) << m;
  EXPECT_NE(m.find("screen size 100x600 is outside"), std::string::npos) << m;
}

TEST(VizudErrors, FailedCompileWritesNothingAndKeepsTheOldOutput) {
  TempDir dir;
  dir.write("main.nvs", "*SYSTEM_START\nEND\n");
  std::ostringstream out, err;
  std::vector<std::string> args{dir.str()};
  ASSERT_EQ(vizud::run_vizud(args, out, err), 0) << err.str();
  auto nvbin = dir.path() / "nvbin";
  ASSERT_TRUE(std::filesystem::exists(nvbin / "nvt00000.nbn"));
  auto before = std::filesystem::file_size(nvbin / "nvt00000.nbn");

  dir.write("main.nvs", "*SYSTEM_START\nWAIT\nWAIT\nCGG[ID=1]\n");
  dir.write("second.nvs", "IF 1\n");
  std::ostringstream out2, err2;
  EXPECT_EQ(vizud::run_vizud(args, out2, err2), 1);
  EXPECT_NE(err2.str().find("main.nvs:4:1: unknown command: \"CGG\""), std::string::npos) << err2.str();
  EXPECT_NE(err2.str().find("second.nvs:1:1: IF is not closed by IFEND"), std::string::npos) << err2.str();
  EXPECT_NE(err2.str().find("2 errors; nothing written"), std::string::npos) << err2.str();
  EXPECT_EQ(std::filesystem::file_size(nvbin / "nvt00000.nbn"), before);
  EXPECT_FALSE(std::filesystem::exists(nvbin / "nvt00001.nbn"));
  for (const auto& e : std::filesystem::directory_iterator(dir.path()))
    EXPECT_EQ(e.path().filename().string().find("nvbin."), std::string::npos) << e.path();

  TempDir empty;
  std::vector<std::string> args2{empty.str()};
  std::ostringstream out3, err3;
  EXPECT_EQ(vizud::run_vizud(args2, out3, err3), 1);
  EXPECT_FALSE(std::filesystem::exists(empty.path() / "nvbin"));
  std::vector<std::string> bad{"--bogus"};
  EXPECT_EQ(vizud::run_vizud(bad, out3, err3), 2);
}

}  // namespace
}  // namespace nv::test

namespace nv::test {
namespace {

// Random lines built from the language's pieces never crash the compiler,
// and every error it reports is located.
TEST(VizudErrors, RandomSourcesNeverCrash) {
  const char* pieces[] = {"IF", "ELSEIF", "ELSE", "IFEND", "LOOP", "LOOPEND", "INT", "STR", "FLT", "S_INT", "G_STR",
                          "CG", "[", "]", "(", ")", "=", "+=", "==", "+", "-", "*", "/", "%", "&&", "!", "~",
                          "\"", "'", "\\", "{", "}", "{{", "x", "y", "a[", "1", "0x", "1.5e", "9999999999999999999999",
                          "*lbl", "GOSUB", "PINT=", "#=", "RETURN", "//", "\xe3\x81\x82", "\x82\xa0", "\x81",
                          "\xff", ",", "ID=", "%3", " ", "\t", "LET", "str(", "int(", "flt(", "SYS_TIME[", "KEY_A"};
  uint32_t seed = 12345;
  auto next = [&]() {
    seed = seed * 1664525u + 1013904223u;
    return seed >> 8;
  };
  for (int round = 0; round < 40; ++round) {
    std::string src = "INT x, a[4]\nSTR y\n*lbl\n";
    for (int line = 0; line < 60; ++line) {
      int n = 1 + static_cast<int>(next() % 8);
      for (int k = 0; k < n; ++k) src += pieces[next() % std::size(pieces)];
      src += "\n";
    }
    auto c = compile_one(src);
    for (const auto& d : c.diag.list()) EXPECT_FALSE(d.message.empty());
    if (c.ok) {
      EXPECT_FALSE(c.title.scripts.empty());
    }
  }
}

}  // namespace
}  // namespace nv::test
