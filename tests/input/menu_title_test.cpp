// Title-level tests of MENU, MENUACT, MENUEND, MENUINFO, the menu bar and
// the context menu answered by scripted input, in headless runs.
#include <gtest/gtest.h>

#include "input/key_names.h"
#include "input/scripted_input.h"
#include "platform/headless/display_headless.h"
#include "platform/encoding.h"
#include "tests/support/title_run.h"

namespace nv::test {
namespace {

platform::HeadlessDisplay& display(TitleRun& r) { return *platform::headless_display(r.host()); }

std::string utf8(const std::string& sjis) { return platform::sjis_to_utf8(sjis); }

TEST(MenusInTitles, ANewNodeNeedsNameAndZ) {
  {
    TitleRun r("MENU[ID=\"a\" Z=1]\n");
    r.run(3);
    EXPECT_NE(r.first_error().find("レイヤまたはレイヤセットの生成に NAME キーワードが指定されていません。"), std::string::npos)
        << r.first_error();
  }
  {
    TitleRun r("MENU[ID=\"a\" NAME=\"x\"]\n");
    r.run(3);
    EXPECT_NE(r.first_error().find("MENU[ ]\n\nレイヤまたはレイヤセットの生成に Z キーワードが指定されていません。"),
              std::string::npos)
        << r.first_error();
  }
  {
    TitleRun r("MENU[ID=\"nope/a\" NAME=\"x\" Z=1]\n");
    r.run(3);
    EXPECT_NE(r.first_error().find("指定したレイヤセット nope が存在しませんでした。"), std::string::npos) << r.first_error();
  }
  {
    TitleRun r("WINDOW[NO=0 MENUID=\"missing/\"]\n");
    r.run(3);
    EXPECT_NE(r.first_error().find("WINDOW[ ]\n\n指定したレイヤ[ID=missing/] が見つかりません。"), std::string::npos)
        << r.first_error();
  }
}

TEST(MenusInTitles, TheMenuBarShowsItemsInZOrderGreyedChecksAndSeparators) {
  TitleRun r(R"(MENU[ID="bar/" NAME="bar" Z=1]
MENU[ID="bar/file/" NAME="ファイル" Z=10]
MENU[ID="bar/file/quit" NAME="終了" Z=30 CODE=3]
MENU[ID="bar/file/open" NAME="開く" Z=10 CODE=1]
MENU[ID="bar/file/sep" NAME="" Z=20]
MENU[ID="bar/file/hidden" NAME="隠す" Z=25 CODE=9 E=0]
MENU[ID="bar/file/grey" NAME="灰色" Z=26 CODE=5 A=0]
MENU[ID="bar/file/check" NAME="印" Z=27 CODE=6 CHECK=1]
MENU[ID="bar/file/open" Z+=25]
MENU[ID="bar/help" NAME="ヘルプ" Z=20 CODE=7]
WINDOW[NO=0 MENUID="bar/"]
)");
  r.run(3);
  EXPECT_EQ(r.first_error(), "");
  const auto& w = display(r).window(0);
  ASSERT_TRUE(w.has_menu_bar);
  ASSERT_EQ(w.menu_bar.size(), 2u);
  EXPECT_EQ(utf8(w.menu_bar[0].text), "ファイル");
  EXPECT_TRUE(w.menu_bar[0].popup);
  EXPECT_EQ(w.menu_bar[1].id, 7u);
  const auto& file = w.menu_bar[0].submenu;
  ASSERT_EQ(file.size(), 5u);  // E=0 left out
  EXPECT_TRUE(file[0].separator);                 // Z 20
  EXPECT_EQ(utf8(file[1].text), "灰色");          // Z 26
  EXPECT_TRUE(file[1].greyed);
  EXPECT_TRUE(file[2].checked);                   // Z 27
  EXPECT_EQ(utf8(file[3].text), "終了");          // Z 30
  EXPECT_EQ(utf8(file[4].text), "開く");          // moved from 10 to 35
  EXPECT_EQ(file[4].id, 1u);
}

TEST(MenusInTitles, MenuInfoAnswersTheFirstGivenKeyword) {
  TitleRun r(R"(G_INT ex, e, a, z, chk, code, none
G_STR name, noname
MENU[ID="m" NAME="名前" Z=12 E=0 A=128 CHECK=1 CODE=77]
MENUINFO[LET=ex ID="m" CODE=1 EXIST=1]
MENUINFO[LET=e ID="m" A=1 E=1]
MENUINFO[LET=a ID="m" Z=1 A=1]
MENUINFO[LET=z ID="m" CHECK=1 Z=1]
MENUINFO[LET=chk ID="m" CODE=1 CHECK=1]
MENUINFO[LET=code ID="m" NAME=1 CODE=1]
MENUINFO[LET=name ID="m" NAME=1]
MENUINFO[LET=none ID="gone" EXIST=1]
MENUINFO[LET=noname ID="gone" NAME=1]
)");
  r.run(3);
  EXPECT_EQ(r.first_error(), "");
  EXPECT_EQ(r.int_var("ex"), 1);
  EXPECT_EQ(r.int_var("e"), 0);
  EXPECT_EQ(r.int_var("a"), 128);
  EXPECT_EQ(r.int_var("z"), 12);
  EXPECT_EQ(r.int_var("chk"), 1);
  EXPECT_EQ(r.int_var("code"), 77);
  EXPECT_EQ(r.text_var("name"), "名前");
  EXPECT_EQ(r.int_var("none"), 0);
  EXPECT_EQ(r.text_var("noname"), "");
}

TEST(MenusInTitles, MenuEndRemovesADeepTreeAndTwoHundredNestedSetsBuild) {
  std::string src = "G_INT after, leaf\nG_STR path = \"\"\nG_INT i = 0\n*SYSTEM_START\n"
                    "LOOP 200\n  path += \"s/\"\n  MENU[ID=path NAME=\"sub\" Z=1]\n  MENU[ID=path + \"leaf\" NAME=\"x\" Z=2 CODE=5]\n"
                    "LOOPEND\nMENUACT[ID=\"s/\" CONTEXT=1]\nWAIT[FRAME=1]\nMENUINFO[LET=leaf ID=path + \"leaf\" EXIST=1]\n"
                    "MENUEND[ID=\"s/\"]\nMENUINFO[LET=after ID=path + \"leaf\" EXIST=1]\nEND\n";
  TitleRun r(src);
  r.run(10);
  EXPECT_EQ(r.first_error(), "");
  EXPECT_EQ(r.int_var("leaf"), 1);
  EXPECT_EQ(r.int_var("after"), 0);
  ASSERT_EQ(display(r).popups().size(), 1u);  // the pop-up was built (and dismissed)
  EXPECT_EQ(r.engine().input.menus.nodes.size(), 1u);  // only M0 is left
}

TEST(MenusInTitles, AContextMenuAnsweredByScriptedInputSetsTheLastMenuCommand) {
  TitleRun r(R"(G_INT got, again, greyed
MENU[ID="ctx/" NAME="ctx" Z=1]
MENU[ID="ctx/a" NAME="A" Z=1 CODE=100240]
MENU[ID="ctx/b" NAME="B" Z=2 CODE=31 A=0]
MENUACT[ID="ctx/" CONTEXT=1]
WAIT[FRAME=1]
got = SYS_MENU
SYS_MENU = 0
MENUACT[ID="ctx/" CONTEXT=1]
WAIT[FRAME=1]
greyed = SYS_MENU
MENUACT[ID="ctx/" CONTEXT=1]
WAIT[FRAME=1]
again = SYS_MENU
)");
  ASSERT_TRUE(r.start()) << r.messages();
  std::string error;
  ASSERT_TRUE(input::parse_scripted_input("1 menu 100240\n1 menu 31\n", "in", input::virtual_key_of_name, r.engine().input.script, error));
  r.run(10);
  EXPECT_EQ(r.first_error(), "");
  EXPECT_EQ(r.int_var("got"), 100240);
  EXPECT_EQ(r.int_var("greyed"), 0);  // a greyed item cannot be chosen
  EXPECT_EQ(r.int_var("again"), 0);   // no answer left: the headless pop-up is dismissed
  EXPECT_EQ(display(r).popups().size(), 1u);
}

}  // namespace
}  // namespace nv::test
