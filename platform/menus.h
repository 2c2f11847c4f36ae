// Menus the engine shows: a menu bar on a window, context and tray pop-ups.
// The desktop has no menus of its own here, so the engine draws them
// (menu_layout.h); a backend only opens the pieces and feeds them the mouse.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace nv::platform {

struct MenuItem {
  std::string text;        // Shift-JIS caption
  uint32_t id = 0;         // reported when the item is chosen
  bool separator = false;  // a line between groups; never chosen
  bool greyed = false;     // shown, but cannot be chosen
  bool checked = false;    // a check mark before the caption
  bool popup = false;      // opens `submenu` instead of being chosen
  std::vector<MenuItem> submenu;
};

using MenuList = std::vector<MenuItem>;

}  // namespace nv::platform
