#include "input/menu_commands.h"

#include <string>

#include "core/engine.h"
#include "display/windows_state.h"
#include "graphics/graphics_state.h"
#include "runtime/arg_slots.h"
#include "runtime/dispatch.h"
#include "runtime/script_tables.h"
#include "input/input_state.h"
#include "runtime/arg_eval.h"
#include "formats/command_table.h"
#include "core/error_report.h"
#include "runtime/output_target.h"
#include "core/assign_kind.h"
#include "core/tree_path.h"

namespace nv::input {

namespace {

constexpr std::string_view kMenu = "MENU";

std::string_view text_of(const ArgSlots& a, int kw) { return a.has(kw) ? a.at(kw).text_view() : std::string_view(); }

MenuNode* find_menu(Engine& e, const NodePath& p, bool report_missing_set, bool* missing_set = nullptr) {
  return static_cast<MenuNode*>(find_node_by_path(e, e.input.menus.root, p, report_missing_set, missing_set));
}

// The set a menu ID names (with or without the trailing "/"), or nullptr;
// `missing_set` tells that a set on the way was missing (reported when
// `report`).
MenuNode* find_menu_set(Engine& e, std::string_view id, bool report, bool& failed, bool& missing_set) {
  NodePath p;
  failed = !resolve_node_path(e, id, e.input.menus.base_path, p);
  if (failed) return nullptr;
  p.is_set = true;
  return find_menu(e, p, report, &missing_set);
}

bool menu_item_active_plain(const platform::MenuItem& it) { return !it.separator && !it.greyed && !it.popup; }

// Whether `id` is an item that can be chosen somewhere in `items`.
bool offers(const platform::MenuList& items, uint32_t id) {
  for (const platform::MenuItem& it : items) {
    if (it.popup ? offers(it.submenu, id) : (menu_item_active_plain(it) && it.id == id)) return true;
  }
  return false;
}

}  // namespace

int menu_command(Engine& e) {
  namespace K = kw::MENU;
  if (evaluate_arguments(e) != 0) return -1;
  const ArgSlots& a = e.args;
  MenuTree& tree = e.input.menus;
  NodePath path;
  if (!resolve_node_path(e, text_of(a, K::ID), tree.base_path, path)) return -1;
  bool missing_set = false;
  MenuNode* node = find_menu(e, path, true, &missing_set);
  if (missing_set) return -1;

  int64_t z = 1;
  if (a.has(K::Z)) {
    z = apply_kind_z(node ? node->z : 1, a.at(K::Z).value, a.at(K::Z).assign_op);
    if (node) set_node_z(*node, z);  // re-sorted among its siblings
  }
  if (!node) {
    if (!a.has(K::NAME)) return report(e, 100260);
    if (!a.has(K::Z)) return report(e, 100240, {kMenu});
    auto* parent = static_cast<MenuNode*>(find_parent_set(e, tree.root, path));
    if (!parent) return -1;
    node = &create_menu_node(tree, *parent, last_path_component(path.path), path.is_set, z);
  }
  if (a.has(K::NAME)) set_menu_caption(*node, a.at(K::NAME).text_view());
  if (a.has(K::E)) node->e = static_cast<uint8_t>(a.at(K::E).value);
  if (a.has(K::A)) node->a = static_cast<uint16_t>(a.at(K::A).value);
  if (a.has(K::CHECK)) node->check = static_cast<uint8_t>(a.at(K::CHECK).value);
  if (a.has(K::CODE)) node->code = a.at(K::CODE).value;
  return 0;
}

int menuact_command(Engine& e) {
  namespace K = kw::MENUACT;
  if (evaluate_arguments(e) != 0) return -1;
  const ArgSlots& a = e.args;
  if (a.value(K::CONTEXT) != 1) return 0;
  bool failed = false, missing_set = false;
  MenuNode* set = find_menu_set(e, text_of(a, K::ID), false, failed, missing_set);
  if (failed) return -1;
  if (!set) return 0;
  bool overflow = false;
  e.input.built[kContextMenu] = build_popup_root(*set, overflow);
  // The pop-up opens where the pointer is when it is shown (read on the
  // window thread, which owns the desktop connection).
  e.input.pending = {kContextMenu, 0, 0};
  return 0;
}

int menuend_command(Engine& e) {
  if (evaluate_arguments(e) != 0) return -1;
  NodePath path;
  if (!resolve_node_path(e, text_of(e.args, kw::MENUEND::ID), e.input.menus.base_path, path)) return -1;
  if (MenuNode* node = find_menu(e, path, false)) remove_menu_node(e.input.menus, *node);
  return 0;
}

int menuinfo_command(Engine& e) {
  namespace K = kw::MENUINFO;
  if (evaluate_arguments(e) != 0) return -1;
  const ArgSlots& a = e.args;
  OutputTarget out = output_target(e, K::LET);
  NodePath path;
  if (!resolve_node_path(e, text_of(a, K::ID), e.input.menus.base_path, path)) return -1;
  const MenuNode* n = find_menu(e, path, false);
  if (!n) return store_zero(e, out);
  if (a.has(K::EXIST)) return store_int(e, out, 1);
  if (a.has(K::E)) return store_int(e, out, n->e);
  if (a.has(K::A)) return store_int(e, out, n->a);
  if (a.has(K::Z)) return store_int(e, out, n->z);
  if (a.has(K::CHECK)) return store_int(e, out, n->check);
  if (a.has(K::CODE)) return store_int(e, out, n->code);
  if (a.has(K::NAME)) return out.type() == kVarString ? store_text(e, out, n->caption) : 0;
  return 0;
}

int attach_menu_bar(Engine& e, int slot, std::string_view path) {
  if (path.empty()) {
    e.input.built[kMenuBar].clear();
    e.input.ui.run([&] { e.platform.display->set_menu_bar(slot, nullptr); });
    return 0;
  }
  bool failed = false, missing_set = false;
  MenuNode* set = find_menu_set(e, path, true, failed, missing_set);
  if (failed || missing_set) return -1;
  if (!set) return report(e, 101250, {"WINDOW", path});
  bool overflow = false;
  int handles = kMenuHandlesPerKind - 1;  // the bar itself
  e.input.built[kMenuBar] = build_menu(*set, handles, overflow);
  const platform::MenuList bar = e.input.built[kMenuBar];
  e.input.ui.run([&] { e.platform.display->set_menu_bar(slot, &bar); });
  return 0;
}

void request_tray_menu(Engine& e, int x, int y) {
  if (e.input.tray.menu_path.empty() || e.input.built[kTrayMenu].empty()) return;
  e.input.pending = {kTrayMenu, x, y};
}

void show_pending_menu(Engine& e) {
  const PendingMenu p = e.input.pending;
  if (p.kind < 0) return;
  e.input.pending.kind = -1;
  const platform::MenuList& root = e.input.built[static_cast<size_t>(p.kind)];
  if (root.empty()) return;
  const platform::MenuList& items = root.front().submenu;
  uint32_t chosen = 0;
  if (!e.input.answers.menus.empty()) {
    // A scripted choice counts only when the menu offers that item.
    const auto code = static_cast<uint32_t>(static_cast<uint64_t>(e.input.answers.menus.front()));
    e.input.answers.menus.pop_front();
    chosen = offers(items, code) ? code : 0;
  } else {
    e.input.ui.run([&] {
      int x = p.x, y = p.y;
      if (p.kind == kContextMenu) e.platform.display->cursor_position(x, y);
      chosen = e.platform.display->popup_menu(items, x, y);
    });
  }
  e.windows.flags.menu_command = static_cast<int32_t>(chosen);
}

}  // namespace nv::input
