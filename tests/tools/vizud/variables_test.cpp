// Variable numbering across scopes, declarations and initial values.
#include <gtest/gtest.h>

#include "tests/tools/vizud/vizud_test_support.h"
#include "tools/vizud/title_output.h"

namespace nv::test {
namespace {

TEST(VizudVariables, GlobalsFirstThenEachScriptsVariablesInOrder) {
  auto c = compile({{"a.nvs", "S_INT sa = 5\nINT la\nx = 1\nGOSUB *b\n"},
                    {"b.nvs", "*b\nINT lb\nS_FLT sb = 2.5\nG_INT late = 9\nRETURN\n"},
                    {"c.nvs", "G_STR name = \"ab\" + \"c\", other\nINT x\n"}});
  ASSERT_FALSE(c.ok);  // "x = 1" in a.nvs: x is a local of c.nvs only
  EXPECT_NE(c.messages().find("a.nvs:4:1: unknown variable"), std::string::npos) << c.messages();

  c = compile({{"a.nvs", "S_INT sa = 5\nINT la\nla = late\n"},
               {"b.nvs", "*b\nINT lb\nS_FLT sb = 2.5\nG_INT late = 9\nRETURN\n"},
               {"c.nvs", "G_STR name = \"ab\" + \"c\", other\nINT la\n"}});
  ASSERT_TRUE(c.ok) << c.messages();
  // Globals of every script come first (a script may use a global declared
  // in a later one), then script and local variables script by script.
  EXPECT_EQ(var(c, "late"), 1000);
  EXPECT_EQ(var(c, "name"), 1001);
  EXPECT_EQ(var(c, "other"), 1002);
  EXPECT_EQ(var(c, "sa", 0), 1003);
  EXPECT_EQ(var(c, "la", 0), 1004);
  EXPECT_EQ(var(c, "lb", 1), 1005);
  EXPECT_EQ(var(c, "sb", 1), 1006);
  EXPECT_EQ(var(c, "la", 2), 1007);  // same name, other script: its own variable
  EXPECT_EQ(var(c, "lb", 0), -1);
  EXPECT_EQ(c.title.symbols.highest_number(), 1007);
}

TEST(VizudVariables, InitialValuesGoToTheVariableFile) {
  auto c = compile_one(
      "S_INT grid[3][4] = 2 * 3\nS_FLT ratio = 1 / 4.0\nS_STR greet = \"hi \" + \"there\"\n"
      "G_INT big = -9000000000\nG_FLT half = 0.5\nS_STR empty\n");
  ASSERT_TRUE(c.ok) << c.messages();
  auto model = vizud::to_title_model(c.title);
  ASSERT_EQ(model.variables.size(), 6u);
  const auto& big = model.variables[0];
  EXPECT_EQ(big.number, 1000);
  EXPECT_EQ(big.scope, writers::kScopeGlobal);
  EXPECT_EQ(big.int_value, -9000000000LL);
  const auto& half = model.variables[1];
  EXPECT_EQ(half.type, writers::vartype::kFloat);
  EXPECT_DOUBLE_EQ(half.float_value, 0.5);
  const auto& grid = model.variables[2];
  EXPECT_EQ(grid.scope, writers::kScopeScript);
  EXPECT_EQ(grid.script, 0);
  EXPECT_EQ(grid.type, writers::vartype::kInt);
  EXPECT_EQ(grid.dims, (std::vector<int32_t>{3, 4}));
  EXPECT_EQ(grid.int_value, 6);
  EXPECT_DOUBLE_EQ(model.variables[3].float_value, 0.25);
  EXPECT_EQ(show_tokens(model.variables[4].string_value.bytes()), "M'hi ' M'there' +");
  EXPECT_EQ(show_tokens(model.variables[5].string_value.bytes()), "M''");
  // Script-level declarations produce no instruction; only the label and END.
  EXPECT_EQ(c.title.scripts[0].code.size(), 2u);
}

TEST(VizudVariables, LocalDeclarationsAreInstructions) {
  auto c = compile_one("INT n = 4\nINT buf[n * 2][3] = n\nFLT f\nSTR s = 12\n");
  ASSERT_TRUE(c.ok) << c.messages();
  auto ints = find_all(c, cmd::INT);
  ASSERT_EQ(ints.size(), 2u);
  ASSERT_EQ(ints[1]->args.size(), 2u);
  // Declaration target: the sizes as an element reference.
  EXPECT_EQ(show_tokens(ints[1]->args[0].data), "V1001 H1000 B2 * B3 )");
  EXPECT_EQ(ints[1]->args[0].selector, 1);
  EXPECT_EQ(show_tokens(ints[1]->args[1].data), "H1000");
  EXPECT_EQ(show_tokens(ints[0]->args[0].data), "H1000");
  auto f = find_all(c, cmd::FLT).at(0);
  EXPECT_EQ(show_tokens(f->args[1].data), "B0");
  auto s = find_all(c, cmd::STR).at(0);
  EXPECT_EQ(show_tokens(s->args[1].data), "B12 s");
  EXPECT_EQ(s->args[1].selector, 3);
  // A redeclaration with the same type reuses the number (running it again
  // replaces the storage).
  c = compile_one("INT a[2]\nINT a[5]\na[4] = 1\n");
  ASSERT_TRUE(c.ok) << c.messages();
  EXPECT_EQ(show_tokens(find_all(c, cmd::INT).at(1)->args[0].data), "V1000 B5 )");
}

TEST(VizudVariables, DeclarationErrors) {
  struct Case {
    const char* source;
    const char* message;
  };
  const Case cases[] = {
      {"INT a\nFLT a\n", "main.nvs:3:5: variable \"a\" is already integer"},
      {"S_INT z[0]\n", "main.nvs:2:9: array size must be at least 1"},
      {"S_INT z[2001][2000]\n", "main.nvs:2:7: array has more than 4000000 elements"},
      {"INT n\nS_INT z[n]\n", "main.nvs:3:9: the initial value must be a constant"},
      {"S_INT q = 1.5\n", "main.nvs:2:11: an integer variable needs an integer initial value"},
      {"INT CG\n", "main.nvs:2:5: a variable cannot be named like a command"},
      {"INT SYS_PI\n", "is already a system variable"},
      {"INT a[1][1][1][1][1][1][1][1][1]\n", "at most 8 dimensions"},
  };
  for (const Case& k : cases) {
    auto c = compile_one(k.source);
    EXPECT_FALSE(c.ok) << k.source;
    EXPECT_NE(c.messages().find(k.message), std::string::npos) << k.source << "\n" << c.messages();
  }
  // 4000000 elements exactly is allowed.
  EXPECT_TRUE(compile_one("S_INT z[2000][2000]\n").ok);
}

TEST(VizudVariables, AssignmentRules) {
  struct Case {
    const char* source;
    const char* message;
  };
  const Case cases[] = {
      {"STR s\ns -= \"a\"\n", "a text variable takes only = and +="},
      {"SYS_PI = 3\n", "this system variable cannot be assigned"},
      {"SYS_DROPCOUNT += 1\n", "a system variable takes only a plain assignment"},
      {"INT a[3]\na = 1\n", "main.nvs:3:1: array \"a\" needs an index here"},
      {"INT a\na[1] = 2\n", "\"a\" is not an array"},
      {"INT m[2][2]\nm[1] = 0\n", "\"m\" has 2 dimensions but 1 index is given"},
      {"INT m[2]\nm[2] = 0\n", "index 2 is outside 0..1"},
  };
  for (const Case& k : cases) {
    auto c = compile_one(k.source);
    EXPECT_FALSE(c.ok) << k.source;
    EXPECT_NE(c.messages().find(k.message), std::string::npos) << k.source << "\n" << c.messages();
  }
}

}  // namespace
}  // namespace nv::test
