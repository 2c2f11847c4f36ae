// Structured control flow lowered to the jump records of IF, ELSE and LOOP,
// labels with their nesting depths, GO/GOSUB/RETURN records.
#include <gtest/gtest.h>

#include "tests/tools/vizud/vizud_test_support.h"

namespace nv::test {
namespace {

const vizud::Instruction& at(const Compiled& c, size_t i) { return c.title.scripts.at(0).code.at(i); }

TEST(VizudControlFlow, IfElseIfElseJumpTargets) {
  auto c = compile_one(
      "INT a\n"              // 1 (0 is the label)
      "IF a == 1\n"          // 2
      "  WAIT[FRAME=1]\n"    // 3
      "ELSEIF a == 2\n"      // 4 IFBLEND, 5 ELSE
      "  WAIT[FRAME=2]\n"    // 6
      "ELSE\n"               // 7 IFBLEND, 8 ELSE
      "  WAIT[FRAME=3]\n"    // 9
      "IFEND\n");            // 10
  ASSERT_TRUE(c.ok) << c.messages();
  const auto& iff = at(c, 2);
  ASSERT_EQ(iff.command, cmd::IF);
  ASSERT_EQ(iff.args.size(), 3u);
  EXPECT_EQ(show_tokens(iff.args[0].data), "H1000 B1 =");
  EXPECT_EQ(iff.args[0].selector, 1);
  EXPECT_EQ(iff.args[1].size, 5u);   // first ELSE
  EXPECT_EQ(iff.args[2].size, 10u);  // IFEND
  EXPECT_FALSE(iff.args[1].has_data);
  EXPECT_EQ(at(c, 4).command, cmd::IFBLEND);
  const auto& elseif = at(c, 5);
  ASSERT_EQ(elseif.command, cmd::ELSE);
  ASSERT_EQ(elseif.args.size(), 2u);
  EXPECT_EQ(show_tokens(elseif.args[0].data), "H1000 B2 =");
  EXPECT_EQ(elseif.args[1].size, 8u);  // the next ELSE
  EXPECT_EQ(at(c, 7).command, cmd::IFBLEND);
  EXPECT_EQ(at(c, 8).command, cmd::ELSE);
  EXPECT_TRUE(at(c, 8).args.empty());
  EXPECT_EQ(at(c, 10).command, cmd::IFEND);
  EXPECT_EQ(at(c, 2).line, 3);  // source lines count the label line added in front
}

TEST(VizudControlFlow, IfWithoutElseAndElseIfChainsEndAtIfend) {
  auto c = compile_one("INT a\nIF a\nIF[a > 1]\nIFEND\nELSE IF a < 0\nIFEND\n");
  // 2 IF, 3 IF, 4 IFEND, 5 IFBLEND, 6 ELSE(if), 7 IFEND
  ASSERT_TRUE(c.ok) << c.messages();
  EXPECT_EQ(at(c, 3).args[1].size, 0u);  // no ELSE: a false condition goes to IFEND
  EXPECT_EQ(at(c, 3).args[2].size, 4u);
  EXPECT_EQ(at(c, 2).args[1].size, 6u);
  EXPECT_EQ(at(c, 2).args[2].size, 7u);
  EXPECT_EQ(at(c, 6).args[1].size, 0u);  // last else-if: false goes to the IFEND
}

TEST(VizudControlFlow, LoopRecordsAndCounts) {
  auto c = compile_one("INT n = 2\nLOOP n * 2\n  LOOP\n    LOOPBREAK[LV=2]\n  LOOPEND\nLOOPEND\nLOOP[SET=0]\nLOOPEND\n");
  // 1 INT, 2 LOOP, 3 LOOP, 4 LOOPBREAK, 5 LOOPEND, 6 LOOPEND, 7 LOOP, 8 LOOPEND
  ASSERT_TRUE(c.ok) << c.messages();
  const auto& outer = at(c, 2);
  ASSERT_EQ(outer.command, cmd::LOOP);
  ASSERT_EQ(outer.args.size(), 2u);
  EXPECT_EQ(outer.args[0].keyword, kw::LOOP::SET);
  EXPECT_EQ(show_tokens(outer.args[0].data), "H1000 B2 *");
  EXPECT_EQ(outer.args[1].size, 6u);
  EXPECT_EQ(show_tokens(at(c, 3).args[0].data), "B-1");  // LOOP alone runs until a break
  EXPECT_EQ(at(c, 3).args[1].size, 5u);
  EXPECT_EQ(at(c, 4).command, cmd::LOOPBREAK);
  EXPECT_EQ(at(c, 4).args.at(0).keyword, kw::LOOPBREAK::LV);
  EXPECT_EQ(show_tokens(at(c, 7).args[0].data), "B0");
  EXPECT_EQ(at(c, 7).args[1].size, 8u);
}

TEST(VizudControlFlow, LabelsRecordTheirIndexScriptAndDepths) {
  auto c = compile({{"a.nvs", "LOOP 2\n  IF 1\n*inner\n  IFEND\nLOOPEND\nGO *other\n"},
                    {"b.nvs", "*other\nEND\n"}});
  ASSERT_TRUE(c.ok) << c.messages();
  ASSERT_EQ(c.title.labels.size(), 3u);
  const auto& start = c.title.labels[0];
  EXPECT_EQ(start.name, "SYSTEM_START");
  EXPECT_EQ(start.index, 0);
  const auto& inner = c.title.labels[1];
  EXPECT_EQ(inner.name, "inner");
  EXPECT_EQ(inner.script, 0);
  EXPECT_EQ(inner.index, 3);
  EXPECT_EQ(inner.if_depth, 1);
  EXPECT_EQ(inner.loop_depth, 1);
  EXPECT_EQ(at(c, 3).command, cmd::LABEL);
  EXPECT_EQ(show_tokens(at(c, 3).args.at(0).data), "M'inner'");
  const auto& other = c.title.labels[2];
  EXPECT_EQ(other.script, 1);
  EXPECT_EQ(other.index, 0);
  // GO carries the label name as a text; the engine resolves it at load.
  auto go = find_all(c, cmd::GO).at(0);
  ASSERT_EQ(go->args.size(), 1u);
  EXPECT_EQ(go->args[0].keyword, kw::GO::TARGET);
  EXPECT_EQ(show_tokens(go->args[0].data), "M'other'");
  EXPECT_EQ(go->args[0].size, 0u);
  // Every script ends with END so that running past its end stops cleanly.
  EXPECT_EQ(c.title.scripts[1].code.back().command, cmd::END);
}

TEST(VizudControlFlow, GosubParametersByKeywordAndPosition) {
  auto c = compile_one("STR s = \"x\"\nGOSUB *sub[PSTR3=s PINT=7 PFLT4=1.5]\nEND\n*sub\nRETURN[RINT2=PINT[1] RSTR=PSTR[3]]\n");
  ASSERT_TRUE(c.ok) << c.messages();
  auto g = find_all(c, cmd::GOSUB).at(0);
  // "#", then the given values, then integer 0 for the missing value 2 so
  // that the engine, which looks for value k only when the instruction has
  // more than k arguments, sees values 3 and 4.
  ASSERT_EQ(g->args.size(), 5u);
  EXPECT_EQ(g->args[0].keyword, kw::GOSUB::TARGET);
  EXPECT_EQ(g->args[0].selector, 3);
  EXPECT_EQ(show_tokens(g->args[0].data), "M'sub'");
  EXPECT_EQ(g->args[1].keyword, kw::GOSUB::PSTR3);
  EXPECT_EQ(g->args[1].keyword, 23);
  EXPECT_EQ(show_tokens(g->args[1].data), "H1000");
  EXPECT_EQ(g->args[2].keyword, kw::GOSUB::PINT);
  EXPECT_EQ(g->args[2].keyword, 1);
  EXPECT_EQ(g->args[3].keyword, kw::GOSUB::PFLT4);
  EXPECT_EQ(g->args[3].keyword, 14);
  EXPECT_EQ(g->args[3].selector, 2);
  EXPECT_EQ(g->args[4].keyword, kw::GOSUB::PINT2);
  EXPECT_EQ(show_tokens(g->args[4].data), "B0");
  auto r = find_all(c, cmd::RETURN).at(0);
  ASSERT_EQ(r->args.size(), 2u);
  EXPECT_EQ(r->args[0].keyword, kw::RETURN::RINT2);
  EXPECT_EQ(r->args[0].keyword, 1);
  EXPECT_EQ(show_tokens(r->args[0].data), "V34 B1 )");
  EXPECT_EQ(r->args[1].keyword, kw::RETURN::RSTR);
  EXPECT_EQ(r->args[1].keyword, 20);
}

TEST(VizudControlFlow, GoAndGosubWithComputedTargets) {
  auto c = compile_one("STR where = \"a\"\nGO[#=where + \"1\"]\n*a1\nGOSUB[#=*a1]\nTASK[ID=\"t\" #=*a1 TINT=3]\n");
  ASSERT_TRUE(c.ok) << c.messages();
  EXPECT_EQ(show_tokens(find_all(c, cmd::GO).at(0)->args[0].data), "H1000 M'1' +");
  EXPECT_EQ(show_tokens(find_all(c, cmd::GOSUB).at(0)->args[0].data), "M'a1'");
  auto t = find_all(c, cmd::TASK).at(0);
  EXPECT_EQ(t->args[1].keyword, kw::TASK::TARGET);
}

}  // namespace
}  // namespace nv::test

namespace nv::test {
namespace {

TEST(VizudControlFlow, FloatConditionsAreComparedWithZero) {
  auto c = compile_one("FLT f = 0.5\nIF f\nIFEND\nIF f > 0.25\nIFEND\nIF !f\nIFEND\n");
  ASSERT_TRUE(c.ok) << c.messages();
  auto ifs = find_all(c, cmd::IF);
  ASSERT_EQ(ifs.size(), 3u);
  EXPECT_EQ(show_tokens(ifs[0]->args[0].data), "H1000 B0 !");
  EXPECT_EQ(ifs[0]->args[0].selector, 2);
  EXPECT_EQ(show_tokens(ifs[1]->args[0].data), "H1000 F0.250000 >");
  EXPECT_EQ(show_tokens(ifs[2]->args[0].data), "H1000 B0 =");
  c = compile_one("FLT f\nGOSUB *SYSTEM_START[PSTR=\"v\" + str(f)]\n");
  EXPECT_FALSE(c.ok);
  EXPECT_NE(c.messages().find("pass the float as PFLT"), std::string::npos) << c.messages();
}

}  // namespace
}  // namespace nv::test
