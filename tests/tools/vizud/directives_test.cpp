// The compiler-only commands: INCLUDE, DEFINE/UNDEF, KEYNAME and PRODUCT.
#include <gtest/gtest.h>

#include "tests/tools/vizud/vizud_test_support.h"

namespace nv::test {
namespace {

Compiled compile_with(std::vector<std::pair<std::string, std::string>> scripts,
                      std::vector<std::pair<std::string, std::string>> includes) {
  Compiled c;
  vizud::ProjectInput in;
  for (auto& [p, t] : scripts) in.scripts.push_back({p, t});
  for (auto& [p, t] : includes) in.includes.push_back({p, t});
  c.ok = vizud::compile_title(in, c.title, c.diag);
  return c;
}

TEST(VizudDirectives, IncludeReadsTheFileInPlace) {
  auto c = compile_with({{"a.nvs", "*SYSTEM_START\nINCLUDE[FILE=\"lib\\\\common.nvi\"]\nhp = 3\nGOSUB *heal\n"},
                         {"b.nvs", "INCLUDE[FILE=\"lib/common.nvi\"]\nEND\n"}},
                        {{"lib/common.nvi", "G_INT g_max = 9\nINT hp = g_max\n*heal\nhp += 1\n"}});
  // The label of the included file is defined by both scripts: an error that
  // names the included file.
  EXPECT_FALSE(c.ok);
  EXPECT_NE(c.messages().find("lib/common.nvi:3:1: label *heal is already defined at lib/common.nvi:3"),
            std::string::npos)
      << c.messages();
  c = compile_with({{"a.nvs", "*SYSTEM_START\nINCLUDE[FILE=\"lib\\\\common.nvi\"]\nhp = 3\n"},
                    {"b.nvs", "INCLUDE[FILE=\"lib/common.nvi\"]\nEND\n"}},
                   {{"lib/common.nvi", "G_INT g_max = 9\nINT hp = g_max\nhp += 1\n"}});
  ASSERT_TRUE(c.ok) << c.messages();
  EXPECT_EQ(var(c, "g_max"), 1000);  // declared once although included twice
  EXPECT_EQ(var(c, "hp", 0), 1001);
  EXPECT_EQ(var(c, "hp", 1), 1002);  // each script gets its own local
  auto ints = find_all(c, cmd::INT, 0);
  ASSERT_EQ(ints.size(), 1u);
  EXPECT_EQ(ints[0]->line, 2);  // instructions of an included file carry the INCLUDE line
  EXPECT_EQ(find_all(c, cmd::LET, 0).size(), 2u);

  c = compile_with({{"a.nvs", "*SYSTEM_START\nINCLUDE[FILE=\"x.nvi\"]\nINCLUDE[FILE=\"none.nvi\"]\n"}},
                   {{"x.nvi", "INCLUDE[FILE=\"y.nvi\"]\n"}, {"y.nvi", "\nINCLUDE[FILE=\"x.nvi\"]\n"}});
  EXPECT_FALSE(c.ok);
  EXPECT_NE(c.messages().find("y.nvi:2:1: INCLUDE of a file that is being included already"), std::string::npos)
      << c.messages();
  EXPECT_NE(c.messages().find("a.nvs:3:14: no include file of that name"), std::string::npos) << c.messages();
  EXPECT_EQ(c.diag.count(), 2u) << c.messages();  // each reported once
}

TEST(VizudDirectives, DefineReplacesANameUntilUndef) {
  auto c = compile_one("DEFINE[NAME=\"MAXHP\" SET=50 + 50]\nINT hp = MAXHP * 2\nHP {MAXHP}\n"
                       "UNDEF[NAME=\"MAXHP\"]\nhp = MAXHP\n");
  EXPECT_FALSE(c.ok);
  EXPECT_NE(c.messages().find("main.nvs:6:6: unknown variable \"MAXHP\""), std::string::npos) << c.messages();
  c = compile_one("DEFINE[NAME=\"MAXHP\" SET=50 + 50]\nINT hp = MAXHP * 2\nHP {MAXHP}\n");
  ASSERT_TRUE(c.ok) << c.messages();
  // Parenthesised: (50 + 50) * 2.
  EXPECT_EQ(show_tokens(find_all(c, cmd::INT).at(0)->args[1].data), "B50 B50 + B2 *");
  EXPECT_EQ(show_tokens(find_all(c, cmd::UNDERSCORE).at(0)->args[0].data), "B50 B50 +");
}

TEST(VizudDirectives, KeynameAndProduct) {
  auto c = compile({{"a.nvs", "INT j = KEY_JUMP + VKEY_JUMP\n"
                              "PRODUCT[CAPTION=\"Made\" SX=1024 SY=768 CGEXT=3 CGEXT2=1 SOUNDEXT=2 DEBUG=1]\n"},
                    {"b.nvs", "KEYNAME[NAME=\"JUMP\" NO=15]\n"}},
                   "width = 640\nheight = 480\ncaption = cfg\n");
  ASSERT_TRUE(c.ok) << c.messages();
  EXPECT_EQ(show_tokens(find_all(c, cmd::INT).at(0)->args[1].data), "H108 H376 +");
  const auto& cfg = c.title.config;
  EXPECT_EQ(cfg.caption, "Made");  // PRODUCT wins over title.cfg
  EXPECT_EQ(cfg.width, 1024);
  EXPECT_EQ(cfg.height, 768);
  EXPECT_EQ(cfg.image_order[0], 3);
  EXPECT_EQ(cfg.image_order[1], 1);
  EXPECT_EQ(cfg.sound_order[0], 2);
  EXPECT_EQ(cfg.debug, 1);
  c = compile_one("PRODUCT[SX=100]\nPRODUCT[DEBUG=1]\nKEYNAME[NAME=\"SPACE\" NO=3]\n");
  EXPECT_FALSE(c.ok);
  EXPECT_NE(c.messages().find("PRODUCT is given more than once"), std::string::npos) << c.messages();
  EXPECT_NE(c.messages().find("PRODUCT screen size 100x600"), std::string::npos) << c.messages();
  EXPECT_NE(c.messages().find("the name KEY_SPACE is already taken"), std::string::npos) << c.messages();
}

}  // namespace
}  // namespace nv::test
