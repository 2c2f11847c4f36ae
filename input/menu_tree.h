// The menu tree: nodes of the shared tree shape under their own root, with
// the set "M0" as the base that menu IDs are resolved against. A set is a
// sub-menu, a plain node an item; children are in ascending Z.
//
// A kind of menu (0 the bar, 1 the context menu, 2 the tray menu) is built
// from a set when it is attached or opened; each kind holds at most 128
// menus, its root included.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "platform/menus.h"
#include "core/tree_node.h"

namespace nv::input {

constexpr size_t kMenuCaptionMax = 260;  // bytes; the caption buffer holds 261 with its terminator
constexpr int kMenuHandlesPerKind = 128;

struct MenuNode : TreeNode {
  std::string caption;  // Shift-JIS; empty = separator
  uint8_t e = 1;        // 0: left out of the menu
  uint16_t a = 256;     // 0: greyed and disabled
  uint8_t check = 0;    // 1: check mark
  int64_t code = 0;     // reported when chosen (its low 32 bits)

  MenuNode* first_child() const { return static_cast<MenuNode*>(first); }
  MenuNode* next_sibling() const { return static_cast<MenuNode*>(next); }
};

struct MenuTree {
  MenuNode root;
  MenuNode* m0 = nullptr;               // the base set
  std::string base_path = "M0";
  std::unordered_map<const MenuNode*, std::unique_ptr<MenuNode>> nodes;  // every node but the root

  MenuTree();
  MenuTree(const MenuTree&) = delete;
  MenuTree& operator=(const MenuTree&) = delete;
};

// A new node called `name` under `parent`, placed by `z`.
MenuNode& create_menu_node(MenuTree& t, MenuNode& parent, std::string_view name, bool is_set, int64_t z);

// Unlinks and frees `node`; for a set every descendant first.
void remove_menu_node(MenuTree& t, MenuNode& node);

// Sets a caption, cut to the caption buffer on a character boundary.
void set_menu_caption(MenuNode& node, std::string_view sjis);

// The menu a kind shows for `set`: its children in Z order, without those
// with E 0. A set child with children is a pop-up while handles of the kind
// are left (`handles_left` counts down; the caller has taken the ones it
// uses itself); past the last one it stays a greyed item and `overflow` is
// set.
platform::MenuList build_menu(const MenuNode& set, int& handles_left, bool& overflow);

// The context and tray menus: a root holding one pop-up item "MENUSET"
// whose sub-menu is `set`, built with the kind's 128 handles.
platform::MenuList build_popup_root(const MenuNode& set, bool& overflow);

}  // namespace nv::input
