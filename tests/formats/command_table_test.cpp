#include "formats/command_table.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace nv {
namespace {

TEST(CommandDefs, NumbersFollowPositionsAndNamesMatchTheHandlerTable) {
  auto cmds = builtin_commands();
  ASSERT_EQ(cmds.size(), 99u);
  for (size_t i = 0; i < cmds.size(); ++i) EXPECT_EQ(cmds[i].number, i) << cmds[i].name;
  EXPECT_STREQ(cmds[cmd::CDDA].name, "CDDA");
  EXPECT_STREQ(cmds[cmd::ELSE].name, "ELSE");
  EXPECT_STREQ(cmds[cmd::ERROR_].name, "ERROR");
  EXPECT_STREQ(cmds[cmd::G_VAR].name, "G_VAR");
  EXPECT_STREQ(cmds[cmd::GO].name, "GO");
  EXPECT_STREQ(cmds[cmd::GOSUB].name, "GOSUB");
  EXPECT_STREQ(cmds[cmd::MACRO].name, "MACRO");
  EXPECT_STREQ(cmds[cmd::S_VAR].name, "S_VAR");
  EXPECT_STREQ(cmds[cmd::UNDERSCORE].name, "_");
  EXPECT_STREQ(cmds[cmd::WAIT].name, "WAIT");
  EXPECT_STREQ(cmds[cmd::NMVINFO].name, "NMVINFO");
  EXPECT_EQ(cmd::NMVINFO, 93);
  for (const auto& c : cmds) EXPECT_EQ(c.compiler_only(), c.number >= 94) << c.name;
  std::set<std::string> names;
  for (const auto& c : cmds) EXPECT_TRUE(names.insert(c.name).second) << "duplicate " << c.name;
}

TEST(CommandDefs, KeywordsAreValidAndUniquePerCommand) {
  for (const auto& c : builtin_commands()) {
    EXPECT_LE(c.keywords.size(), 95u) << c.name;  // keyword indexes must stay below 96
    std::set<std::string> seen;
    for (const auto& k : c.keywords) {
      ASSERT_NE(k.name, nullptr);
      EXPECT_LE(k.type, 3) << c.name << " " << k.name;
      EXPECT_LT(k.check, check::kCount) << c.name << " " << k.name;
      EXPECT_TRUE(seen.insert(k.name).second) << c.name << " repeats " << k.name;
    }
  }
}

TEST(CommandDefs, ErrorHasOneSwitchPerCommandEndingWithProduct) {
  const auto& err = builtin_commands()[cmd::ERROR_];
  ASSERT_EQ(err.keywords.size(), 94u);
  EXPECT_STREQ(err.keywords[kw::ERROR_::NO].name, "NO");
  EXPECT_STREQ(err.keywords[kw::ERROR_::SET].name, "SET");
  // switch j is keyword j + 1: COM_CG is switch 1, COM_CGACT switch 2
  EXPECT_EQ(kw::ERROR_::COM_CG, 2);
  EXPECT_EQ(kw::ERROR_::COM_CGACT, 3);
  EXPECT_STREQ(err.keywords.back().name, "COM_PRODUCT");
  EXPECT_EQ(kw::ERROR_::kCount, 94);
  for (size_t i = 2; i < err.keywords.size(); ++i) {
    EXPECT_EQ(std::string(err.keywords[i].name).rfind("COM_", 0), 0u);
    EXPECT_EQ(err.keywords[i].check, check::R0_1);
  }
  // The switches follow command order.
  int last = 0;
  for (size_t i = 2; i + 1 < err.keywords.size(); ++i) {
    const BuiltinCommand* c = find_builtin_command(std::string(err.keywords[i].name).substr(4));
    ASSERT_NE(c, nullptr) << err.keywords[i].name;
    EXPECT_GT(c->number, last);
    last = c->number;
  }
}

TEST(CommandDefs, SubroutineKeywordIndexes) {
  EXPECT_EQ(kw::GOSUB::TARGET, 0);
  EXPECT_EQ(kw::GOSUB::PINT, 1);
  EXPECT_EQ(kw::GOSUB::PINT10, 10);
  EXPECT_EQ(kw::GOSUB::PFLT, 11);
  EXPECT_EQ(kw::GOSUB::PFLT3, 13);
  EXPECT_EQ(kw::GOSUB::PSTR, 21);
  EXPECT_EQ(kw::GOSUB::PSTR10, 30);
  EXPECT_EQ(kw::RETURN::RINT, 0);
  EXPECT_EQ(kw::RETURN::RINT10, 9);
  EXPECT_EQ(kw::RETURN::RFLT, 10);
  EXPECT_EQ(kw::RETURN::RSTR, 20);
  EXPECT_EQ(kw::RETURN::RSTR10, 29);
  const auto& gosub = builtin_commands()[cmd::GOSUB];
  EXPECT_STREQ(gosub.keywords[kw::GOSUB::TARGET].name, "#");
  EXPECT_STREQ(gosub.keywords[kw::GOSUB::PINT2].name, "PINT2");
  EXPECT_EQ(gosub.keywords[kw::GOSUB::PFLT].type, argtype::EXPR);
  EXPECT_EQ(gosub.keywords[kw::GOSUB::PSTR].type, argtype::STR);
  EXPECT_EQ(builtin_commands()[cmd::GO].keywords[kw::GO::TARGET].type, argtype::EXPR);
}

TEST(CommandDefs, RangesGivenForCommandsMatchTheirCheckCodes) {
  auto code = [](int c, std::string_view k) {
    const auto& cmdv = builtin_commands()[static_cast<size_t>(c)];
    int i = find_keyword(cmdv, k);
    EXPECT_GE(i, 0) << cmdv.name << " " << k;
    return i < 0 ? -1 : cmdv.keywords[static_cast<size_t>(i)].check;
  };
  EXPECT_EQ(code(cmd::WINDOW, "NO"), check::WINDOW_NO);
  EXPECT_EQ(code(cmd::WINDOW, "SX"), check::R128_2048);
  EXPECT_EQ(code(cmd::WINDOW, "SY"), check::R16_2048);
  EXPECT_EQ(code(cmd::WINDOW, "CLOSEMODE"), check::R0_3);
  EXPECT_EQ(code(cmd::SOUND, "PAN"), check::R0_512);
  EXPECT_EQ(code(cmd::SOUND, "VOLUME"), check::R0_256);
  EXPECT_EQ(code(cmd::MOUSE, "X"), check::SCREEN_X);
  EXPECT_EQ(code(cmd::MOUSE, "Y"), check::SCREEN_Y);
  EXPECT_EQ(code(cmd::FONT, "COLOR2"), check::COLOR_OR_NONE);
  EXPECT_EQ(code(cmd::FONT, "COLOR"), check::COLOR);
  EXPECT_EQ(code(cmd::SAVE, "DNO"), check::R1_1024);
  EXPECT_EQ(code(cmd::DIALOG, "DEFBUTTON"), check::R1_3);
  EXPECT_EQ(code(cmd::CG, "MODE"), check::R0_18);
  EXPECT_EQ(code(cmd::IFBREAK, "LV"), check::GE0);
  EXPECT_EQ(code(cmd::ERRORINFO, "NO"), check::GE1);
  EXPECT_EQ(code(cmd::END, "RESTART"), check::R0_1);
  const auto& menuinfo = builtin_commands()[cmd::MENUINFO];
  EXPECT_EQ(menuinfo.keywords[kw::MENUINFO::NAME].type, argtype::STR);
  EXPECT_EQ(menuinfo.keywords[kw::MENUINFO::NAME].check, check::R0_1);
  EXPECT_EQ(kw::TASKINFO::ID, 0);
  EXPECT_EQ(kw::TASKINFO::LET, 1);
  EXPECT_EQ(kw::TASKINFO::EXIST, 2);
  EXPECT_EQ(builtin_commands()[cmd::CG].keywords.size(), 38u);
  EXPECT_EQ(builtin_commands()[cmd::CGACT].keywords.size(), 50u);
  EXPECT_TRUE(builtin_commands()[cmd::IF].keywords.empty());
  EXPECT_TRUE(builtin_commands()[cmd::LET].keywords.empty());
}

TEST(CommandDefs, CheckRangesMatchCodes) {
  EXPECT_EQ(check::kRanges[check::R128_2048].lo, 128);
  EXPECT_EQ(check::kRanges[check::R128_2048].hi, 2048);
  EXPECT_EQ(check::kRanges[check::COLOR_OR_NONE].lo, -1);
  EXPECT_EQ(check::kRanges[check::R1_8192].hi, 8192);
  EXPECT_EQ(check::kRanges[check::WINDOW_NO].hi, 3);
}

TEST(CommandDefs, ErrnoTextsAndKeyTable) {
  EXPECT_EQ(kErrnoTexts[15], " ");
  EXPECT_EQ(kErrnoTexts[26], " ");
  for (auto t : kErrnoTexts) EXPECT_FALSE(t.empty());
  auto keys = builtin_key_table();
  EXPECT_EQ(keys[0], 0);   // any key
  EXPECT_EQ(keys[1], 1);   // left button
  EXPECT_EQ(keys[3], 4);   // middle button
  EXPECT_EQ(keys[7], 8);   // first scanned key: backspace
  EXPECT_EQ(keys[123], 226);
  EXPECT_EQ(keys[124], kNoKey);
  EXPECT_EQ(keys[255], kNoKey);
  // Every scanned virtual key appears exactly once.
  std::set<int> vks;
  for (size_t k = 7; k < kKeyNames.size(); ++k) EXPECT_TRUE(vks.insert(kKeyNames[k].vk).second);
  EXPECT_EQ(vks.size(), 117u);
  EXPECT_TRUE(vks.count(160) && vks.count(192) && vks.count(222));
}

}  // namespace
}  // namespace nv
