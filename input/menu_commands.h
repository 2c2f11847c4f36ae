// MENU, MENUACT, MENUEND, MENUINFO; the menu bar of a window; the context
// and tray menus shown by the frame loop.
#pragma once

#include <string_view>

namespace nv {
struct Engine;
}  // namespace nv

namespace nv::input {

int menu_command(Engine& e);
int menuact_command(Engine& e);
int menuend_command(Engine& e);
int menuinfo_command(Engine& e);

// Builds the menu bar of window `slot` from the set `path` names (resolved
// against the menu base) and puts it on the window; an empty path removes
// the bar. Returns 0, or -1 after reporting 100230 or 101250.
int attach_menu_bar(Engine& e, int slot, std::string_view path);

// Asks for the kind-2 (tray) menu at a desktop point, when one is set.
void request_tray_menu(Engine& e, int x, int y);

// Shows the context or tray menu asked for, if any, and makes the chosen
// item's id (0 for none) the last menu command.
void show_pending_menu(Engine& e);

}  // namespace nv::input
