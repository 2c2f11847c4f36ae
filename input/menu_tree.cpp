#include "input/menu_tree.h"

#include <vector>

#include "formats/sjis_text.h"

namespace nv::input {


MenuTree::MenuTree() {
  name_node(root, "", true);
  m0 = &create_menu_node(*this, root, "M0", true, 0);
}

MenuNode& create_menu_node(MenuTree& t, MenuNode& parent, std::string_view name, bool is_set, int64_t z) {
  auto node = std::make_unique<MenuNode>();
  name_node(*node, name, is_set);
  insert_child(parent, *node, z);
  MenuNode& n = *node;
  t.nodes.emplace(&n, std::move(node));
  return n;
}

void remove_menu_node(MenuTree& t, MenuNode& node) {
  if (&node == &t.root) return;
  // Children before their set, without recursion: a deep tree is as safe
  // as a flat one.
  std::vector<MenuNode*> order{&node};
  for (size_t i = 0; i < order.size(); ++i)
    for (MenuNode* c = order[i]->first_child(); c; c = c->next_sibling()) order.push_back(c);
  for (auto it = order.rbegin(); it != order.rend(); ++it) {
    detach_node(**it);
    if (*it == t.m0) t.m0 = nullptr;
    t.nodes.erase(*it);
  }
}

void set_menu_caption(MenuNode& node, std::string_view sjis) {
  node.caption = std::string(sjis::prefix_fitting(sjis, kMenuCaptionMax));
}

platform::MenuList build_menu(const MenuNode& set, int& handles_left, bool& overflow) {
  platform::MenuList out;
  for (const MenuNode* c = set.first_child(); c; c = c->next_sibling()) {
    if (c->e == 0) continue;
    platform::MenuItem item;
    item.id = static_cast<uint32_t>(static_cast<uint64_t>(c->code));
    item.text = c->caption;
    item.greyed = c->a == 0;
    item.checked = c->check == 1;
    item.separator = c->caption.empty();
    if (item.separator) item.greyed = true;
    if (c->is_set && c->first && !item.separator) {
      if (handles_left > 0) {
        --handles_left;
        item.popup = true;
        item.submenu = build_menu(*c, handles_left, overflow);
      } else {
        overflow = true;
        item.greyed = true;
      }
    }
    out.push_back(std::move(item));
  }
  return out;
}

platform::MenuList build_popup_root(const MenuNode& set, bool& overflow) {
  int handles = kMenuHandlesPerKind - 2;  // the root and the set's own menu
  platform::MenuItem root;
  root.text = "MENUSET";
  root.popup = true;
  root.submenu = build_menu(set, handles, overflow);
  return {root};
}

}  // namespace nv::input
