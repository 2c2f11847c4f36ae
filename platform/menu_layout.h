// Engine-drawn menus, independent of any backend: where each entry of a
// menu bar or a pop-up panel lies, what the pieces look like, and what a
// mouse does to an open menu (a pop-up with its cascades, or a menu bar
// with the panel dropped from one of its entries).
//
// Positions are in one coordinate space chosen by the backend (the desktop
// for pop-ups that are windows of their own); sizes are in pixels.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/display.h"
#include "platform/menus.h"
#include "platform/ui_font.h"

namespace nv::platform {

struct MenuColors {
  uint32_t face = 0xFFF0F0F0u;
  uint32_t border = 0xFF808080u;
  uint32_t text = 0xFF000000u;
  uint32_t greyed = 0xFF8C8C8Cu;
  uint32_t highlight = 0xFF3A6EA5u;
  uint32_t highlight_text = 0xFFFFFFFFu;
  uint32_t separator = 0xFFA0A0A0u;
};

// Sizes that follow from the font.
struct MenuMetrics {
  int item_height = 0;       // one pop-up item
  int separator_height = 7;
  int gutter = 20;           // left of a caption: the check mark
  int arrow = 18;            // right of a caption: the cascade arrow
  int border = 2;            // frame of a pop-up panel
  int bar_height = 0;        // the menu bar strip
  int bar_padding = 8;       // left and right of a bar caption
};
MenuMetrics menu_metrics(UiFont& font);

// The entries of a menu bar from the left; one rectangle per entry (zero
// width for an entry left out), relative to the strip's top-left.
std::vector<Rect> layout_menu_bar(const MenuList& bar, UiFont& font, const MenuMetrics& m);

// A pop-up panel's size and its items' rectangles relative to its top-left.
struct PanelLayout {
  int width = 0, height = 0;
  std::vector<Rect> items;
};
PanelLayout layout_panel(const MenuList& items, UiFont& font, const MenuMetrics& m);

// Draws a menu bar strip `width` wide; `open` is the highlighted entry (-1 none).
PixelBuffer draw_menu_bar(const MenuList& bar, int width, int open, UiFont& font, const MenuMetrics& m,
                          const MenuColors& c = {});
// Draws a pop-up panel; `highlighted` is the item under the mouse (-1 none).
PixelBuffer draw_panel(const MenuList& items, const PanelLayout& layout, int highlighted, UiFont& font,
                       const MenuMetrics& m, const MenuColors& c = {});

// Whether an item can be chosen or opened.
bool menu_item_active(const MenuItem& item);

// An open menu and the mouse. A pop-up session starts with one panel at a
// point; a bar session starts with nothing open over a bar. Hovering a
// pop-up item opens its cascade, hovering a bar entry while a panel is
// dropped moves the drop there; releasing (or pressing) the left or right
// button on an active plain item chooses it; a press outside every panel and
// the bar, or Escape, ends with nothing chosen.
class MenuSession {
 public:
  struct Panel {
    const MenuList* items = nullptr;
    int x = 0, y = 0;   // top-left
    PanelLayout layout;
    int highlighted = -1;
    Rect rect() const { return {x, y, x + layout.width, y + layout.height}; }
  };

  // A pop-up of `items` at (x, y), kept inside `screen`.
  static MenuSession popup(const MenuList& items, int x, int y, Rect screen, UiFont& font);
  // A menu bar whose strip lies at `bar_rect`, nothing dropped yet; the
  // press that started it is fed to press() next.
  static MenuSession bar(const MenuList& bar, Rect bar_rect, Rect screen, UiFont& font);

  void pointer_move(int x, int y);
  void press(int x, int y);
  void release(int x, int y);
  void escape();

  bool finished() const { return finished_; }
  // The chosen id once finished; 0 when nothing was chosen.
  uint32_t chosen() const { return chosen_; }

  const std::vector<Panel>& panels() const { return panels_; }
  // The bar entry dropped now (-1 none) and whether pictures changed since
  // the last call to take_changed().
  int bar_open() const { return bar_open_; }
  bool take_changed() {
    bool c = changed_;
    changed_ = false;
    return c;
  }
  const MenuMetrics& metrics() const { return metrics_; }
  const std::vector<Rect>& bar_entries() const { return bar_entries_; }

 private:
  MenuSession(UiFont& font, Rect screen) : font_(&font), screen_(screen), metrics_(menu_metrics(font)) {}
  void open_panel(const MenuList& items, Rect anchor, bool below);
  void close_from(size_t level);
  void drop_bar(int entry);
  // The panel and item under a point (panel -1 when none).
  std::pair<int, int> hit(int x, int y) const;
  int bar_hit(int x, int y) const;
  void choose(const MenuItem& item);
  void finish(uint32_t id);

  UiFont* font_;
  Rect screen_;
  MenuMetrics metrics_;
  std::vector<Panel> panels_;
  const MenuList* bar_ = nullptr;
  Rect bar_rect_{};
  std::vector<Rect> bar_entries_;  // desktop rectangles of the bar entries
  int bar_open_ = -1;
  bool pressed_inside_ = false;
  bool finished_ = false;
  bool changed_ = true;
  uint32_t chosen_ = 0;
};

}  // namespace nv::platform
