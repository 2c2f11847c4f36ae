#include <gtest/gtest.h>

#include "platform/encoding.h"
#include "resources/file_loader.h"
#include "resources/file_name_rules.h"
#include "resources/name_fold.h"
#include "resources/pack_mount.h"

namespace nv::res {
namespace {

std::string sj(const char* utf8) { return platform::utf8_to_sjis(utf8); }

TEST(NameRules, CaseFoldingLeavesSecondBytesAlone) {
  // "ア" is 83 41 and "ヂ" is 83 61: they differ as ASCII 'A' and 'a' would.
  EXPECT_FALSE(equal_ignore_case_sjis(sj("ア"), sj("ヂ")));
  EXPECT_EQ(lower_ascii_sjis(sj("ア")), sj("ア"));
  EXPECT_TRUE(equal_ignore_case_sjis(sj("BG\\ア.PNG"), sj("bg\\ア.png")));
  EXPECT_EQ(lower_ascii_sjis(sj("ABCア")), sj("abcア"));
  EXPECT_TRUE(ends_with_ignore_case("A.NPF", ".npf"));
  EXPECT_FALSE(ends_with_ignore_case("anpf", ".npf"));
  EXPECT_FALSE(equal_ignore_case_sjis("ab", "abc"));
}

TEST(NameRules, NormalisesWithTheTreePathRules) {
  auto norm = [](std::string_view s) { return normalize_file_name(s).name.value_or("<error>"); };
  EXPECT_EQ(norm("BG01"), "bg01");
  EXPECT_EQ(norm("CG/Ev/A.PNG"), "cg\\ev\\a.png");
  EXPECT_EQ(norm("./a/../b/./c.bmp"), "b\\c.bmp");
  EXPECT_EQ(norm(":/sys/x.png"), "sys\\x.png");
  EXPECT_EQ(norm(":x.png"), "x.png");
  EXPECT_EQ(norm("/x.png"), "x.png");
  EXPECT_EQ(norm("../../x.png"), "x.png");
  EXPECT_EQ(norm("dir/"), "dir");
  EXPECT_EQ(norm("a b"), "a b");  // no '.', ':' or '/': taken as it is
  EXPECT_EQ(norm("A\\B"), "a\\b");
  EXPECT_EQ(norm("a b.png"), "<error>");
  EXPECT_EQ(normalize_file_name("x/a b.png").working_path, "x/a b.png");
  EXPECT_EQ(norm(sj("画像/ＡＢ.PNG").c_str()), sj("画像\\ＡＢ.png"));
}

TEST(NameRules, UpdateSlotsAndTypesByExtension) {
  EXPECT_EQ(update_slot_of("update1.npf"), 1);
  EXPECT_EQ(update_slot_of("UPDATE3.NPF"), 3);
  EXPECT_EQ(update_slot_of("Update9.Npf"), 9);
  EXPECT_EQ(update_slot_of("update0.npf"), 0);
  EXPECT_EQ(update_slot_of("update10.npf"), 0);
  EXPECT_EQ(update_slot_of("update1.npf.bak"), 0);
  EXPECT_EQ(file_type_of_name("a.BMP"), FileType::bmp);
  EXPECT_EQ(file_type_of_name("a.jpg"), FileType::jpeg);
  EXPECT_EQ(file_type_of_name("a.psd"), FileType::psd);
  EXPECT_EQ(file_type_of_name("a.ogg"), FileType::ogg);
  EXPECT_EQ(file_type_of_name("a.jpeg"), FileType::unknown);
  EXPECT_EQ(file_type_of_name("a\\B.PNG"), FileType::png);
  EXPECT_EQ(file_type_of_name("x.Jpg"), FileType::jpeg);
  EXPECT_EQ(file_type_of_name("dir.bmp\\file"), FileType::unknown);
}

}  // namespace
}  // namespace nv::res
