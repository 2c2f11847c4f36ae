#include "input/menu_tree.h"

#include <gtest/gtest.h>

namespace nv::input {
namespace {

MenuNode& item(MenuTree& t, MenuNode& parent, const char* name, int64_t z, const char* caption, int64_t code) {
  MenuNode& n = create_menu_node(t, parent, name, false, z);
  set_menu_caption(n, caption);
  n.code = code;
  return n;
}

TEST(MenuTree, BuildsItemsInZOrderWithGreyChecksSeparatorsAndCascades) {
  MenuTree t;
  MenuNode& file = create_menu_node(t, *t.m0, "file", true, 10);
  set_menu_caption(file, "File");
  item(t, file, "quit", 30, "Quit", 3);
  item(t, file, "open", 10, "Open", 1);
  MenuNode& sep = item(t, file, "sep", 20, "", 0);
  (void)sep;
  item(t, file, "gone", 15, "Gone", 9).e = 0;
  item(t, file, "grey", 25, "Grey", 5).a = 0;
  item(t, file, "chk", 26, "Check", 6).check = 1;
  MenuNode& recent = create_menu_node(t, file, "recent", true, 27);
  set_menu_caption(recent, "Recent");
  item(t, recent, "r1", 1, "One", 0x100000007LL);
  MenuNode& empty = create_menu_node(t, file, "empty", true, 28);
  set_menu_caption(empty, "Empty");
  int handles = 126;
  bool overflow = false;
  const platform::MenuList l = build_menu(file, handles, overflow);
  ASSERT_EQ(l.size(), 7u);  // "Gone" is left out
  EXPECT_EQ(l[0].text, "Open");
  EXPECT_TRUE(l[1].separator);
  EXPECT_TRUE(l[2].greyed);
  EXPECT_EQ(l[2].id, 5u);
  EXPECT_TRUE(l[3].checked);
  EXPECT_TRUE(l[4].popup);
  ASSERT_EQ(l[4].submenu.size(), 1u);
  EXPECT_EQ(l[4].submenu[0].id, 7u);  // the low 32 bits of CODE
  EXPECT_FALSE(l[5].popup);           // a set without children is a plain item
  EXPECT_EQ(l[6].text, "Quit");
  EXPECT_EQ(handles, 125);
  EXPECT_FALSE(overflow);
  // The popup root of the context and tray menus.
  const platform::MenuList root = build_popup_root(file, overflow);
  ASSERT_EQ(root.size(), 1u);
  EXPECT_EQ(root[0].text, "MENUSET");
  EXPECT_EQ(root[0].submenu.size(), 7u);
}

TEST(MenuTree, DeepNestingStopsAtTheHandleLimitAndRemovesWhole) {
  MenuTree t;
  MenuNode* set = t.m0;
  for (int i = 0; i < 200; ++i) {
    MenuNode& s = create_menu_node(t, *set, "s", true, 1);
    set_menu_caption(s, "sub");
    item(t, s, "leaf", 2, "leaf", i + 1);
    set = &s;
  }
  bool overflow = false;
  const platform::MenuList root = build_popup_root(*t.m0, overflow);
  EXPECT_TRUE(overflow);
  // 128 menus in all: the root, M0's own and 126 cascades; the next set is a greyed item.
  int depth = 0;
  const platform::MenuList* l = &root[0].submenu;
  while (!l->empty() && (*l)[0].popup) {
    l = &(*l)[0].submenu;
    ++depth;
  }
  EXPECT_EQ(depth, 126);
  EXPECT_TRUE((*l)[0].greyed);
  EXPECT_EQ(t.nodes.size(), 401u);
  remove_menu_node(t, *t.m0->first_child());
  EXPECT_EQ(t.nodes.size(), 1u);
  EXPECT_EQ(t.m0->child_count, 0u);
}

TEST(MenuTree, CaptionsAreCutOnACharacterBoundary) {
  MenuTree t;
  MenuNode& n = create_menu_node(t, *t.m0, "x", false, 1);
  std::string text(259, 'a');
  text += "\x82\xa0";  // a double-byte character across the 260-byte end
  set_menu_caption(n, text);
  EXPECT_EQ(n.caption, std::string(259, 'a'));
  set_menu_caption(n, std::string(300, 'b'));
  EXPECT_EQ(n.caption.size(), kMenuCaptionMax);
}

}  // namespace
}  // namespace nv::input
