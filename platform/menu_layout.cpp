#include "platform/menu_layout.h"

#include <algorithm>

#include "platform/encoding.h"

namespace nv::platform {

void fill_rect(PixelBuffer& b, int x, int y, int w, int h, uint32_t bgra) {
  const int x0 = std::max(0, x), y0 = std::max(0, y);
  const int x1 = std::min(b.width, x + w), y1 = std::min(b.height, y + h);
  for (int yy = y0; yy < y1; ++yy)
    std::fill(b.pixels.begin() + ptrdiff_t(size_t(yy) * size_t(b.width) + size_t(x0)),
              b.pixels.begin() + ptrdiff_t(size_t(yy) * size_t(b.width) + size_t(x1)), bgra);
}

namespace {

bool inside(const Rect& r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

// A check mark in a `size` square.
void draw_check(PixelBuffer& b, int x, int y, int size, uint32_t c) {
  const int s = std::max(6, size);
  const int mid = s * 2 / 5;
  for (int i = 0; i < mid; ++i) fill_rect(b, x + i, y + s / 2 + i - 1, 1, 2, c);
  for (int i = 0; i < s - mid; ++i) fill_rect(b, x + mid + i, y + s / 2 + mid - i - 2, 1, 2, c);
}

// A triangle pointing right, `h` high.
void draw_arrow(PixelBuffer& b, int x, int y, int h, uint32_t c) {
  for (int i = 0; i < h / 2; ++i) fill_rect(b, x + i, y + i, 1, h - 2 * i, c);
}

}  // namespace

bool menu_item_active(const MenuItem& item) {
  return !item.separator && !item.greyed && (!item.popup || !item.submenu.empty());
}

MenuMetrics menu_metrics(UiFont& font) {
  MenuMetrics m;
  m.item_height = font.line_height() + 6;
  m.bar_height = font.line_height() + 8;
  m.gutter = std::max(20, font.line_height() + 4);
  return m;
}

std::vector<Rect> layout_menu_bar(const MenuList& bar, UiFont& font, const MenuMetrics& m) {
  std::vector<Rect> out;
  int x = 0;
  for (const MenuItem& it : bar) {
    int w = 0;
    if (it.separator) w = m.bar_padding;
    else w = font.text_width(sjis_to_utf8(it.text)) + 2 * m.bar_padding;
    out.push_back({x, 0, x + w, m.bar_height});
    x += w;
  }
  return out;
}

PanelLayout layout_panel(const MenuList& items, UiFont& font, const MenuMetrics& m) {
  PanelLayout p;
  int text_w = 0;
  for (const MenuItem& it : items)
    if (!it.separator) text_w = std::max(text_w, font.text_width(sjis_to_utf8(it.text)));
  p.width = 2 * m.border + m.gutter + text_w + m.arrow + 8;
  p.width = std::max(p.width, 80);
  int y = m.border;
  for (const MenuItem& it : items) {
    const int h = it.separator ? m.separator_height : m.item_height;
    p.items.push_back({m.border, y, p.width - m.border, y + h});
    y += h;
  }
  p.height = y + m.border;
  if (items.empty()) p.height = 2 * m.border + m.separator_height;
  return p;
}

PixelBuffer draw_menu_bar(const MenuList& bar, int width, int open, UiFont& font, const MenuMetrics& m,
                          const MenuColors& c) {
  PixelBuffer b(std::max(1, width), m.bar_height, c.face);
  const std::vector<Rect> entries = layout_menu_bar(bar, font, m);
  const int text_y = (m.bar_height - font.line_height()) / 2;
  for (size_t i = 0; i < bar.size(); ++i) {
    const MenuItem& it = bar[i];
    const Rect& r = entries[i];
    if (it.separator) continue;
    const bool hot = int(i) == open && menu_item_active(it);
    if (hot) fill_rect(b, r.left, 1, r.width(), m.bar_height - 2, c.highlight);
    const uint32_t col = it.greyed ? c.greyed : hot ? c.highlight_text : c.text;
    font.draw_text(b, r.left + m.bar_padding, text_y, sjis_to_utf8(it.text), col);
  }
  fill_rect(b, 0, m.bar_height - 1, b.width, 1, c.separator);
  return b;
}

PixelBuffer draw_panel(const MenuList& items, const PanelLayout& l, int highlighted, UiFont& font,
                       const MenuMetrics& m, const MenuColors& c) {
  PixelBuffer b(l.width, l.height, c.face);
  fill_rect(b, 0, 0, l.width, 1, c.border);
  fill_rect(b, 0, l.height - 1, l.width, 1, c.border);
  fill_rect(b, 0, 0, 1, l.height, c.border);
  fill_rect(b, l.width - 1, 0, 1, l.height, c.border);
  const int lh = font.line_height();
  for (size_t i = 0; i < items.size() && i < l.items.size(); ++i) {
    const MenuItem& it = items[i];
    const Rect& r = l.items[i];
    if (it.separator) {
      fill_rect(b, r.left + 2, r.top + r.height() / 2, r.width() - 4, 1, c.separator);
      continue;
    }
    const bool hot = int(i) == highlighted && !it.separator;
    if (hot) fill_rect(b, r.left, r.top, r.width(), r.height(), c.highlight);
    const uint32_t col = it.greyed ? c.greyed : hot ? c.highlight_text : c.text;
    const int ty = r.top + (r.height() - lh) / 2;
    if (it.checked) draw_check(b, r.left + (m.gutter - lh * 2 / 3) / 2, ty + lh / 6, lh * 2 / 3, col);
    font.draw_text(b, r.left + m.gutter, ty, sjis_to_utf8(it.text), col);
    if (it.popup) draw_arrow(b, r.right - m.arrow + 6, r.top + (r.height() - lh / 2) / 2, lh / 2, col);
  }
  return b;
}

MenuSession MenuSession::popup(const MenuList& items, int x, int y, Rect screen, UiFont& font) {
  MenuSession s(font, screen);
  s.open_panel(items, {x, y, x, y}, true);
  return s;
}

MenuSession MenuSession::bar(const MenuList& bar, Rect bar_rect, Rect screen, UiFont& font) {
  MenuSession s(font, screen);
  s.bar_ = &bar;
  s.bar_rect_ = bar_rect;
  for (Rect r : layout_menu_bar(bar, font, s.metrics_)) {
    r.left += bar_rect.left;
    r.right += bar_rect.left;
    r.top = bar_rect.top;
    r.bottom = bar_rect.bottom;
    s.bar_entries_.push_back(r);
  }
  return s;
}

// Opens a panel next to `anchor`: below it (from a bar entry or at a point)
// or to its right (a cascade), moved or flipped to stay on the screen.
void MenuSession::open_panel(const MenuList& items, Rect anchor, bool below) {
  Panel p;
  p.items = &items;
  p.layout = layout_panel(items, *font_, metrics_);
  const int w = p.layout.width, h = p.layout.height;
  if (below) {
    p.x = anchor.left;
    p.y = anchor.bottom;
    if (p.x + w > screen_.right) p.x = std::max(screen_.left, screen_.right - w);
    if (p.y + h > screen_.bottom) p.y = std::max(screen_.top, anchor.top - h);
  } else {
    p.x = anchor.right;
    p.y = anchor.top - metrics_.border;
    if (p.x + w > screen_.right) p.x = std::max(screen_.left, anchor.left - w);
    if (p.y + h > screen_.bottom) p.y = std::max(screen_.top, screen_.bottom - h);
  }
  panels_.push_back(std::move(p));
  changed_ = true;
}

void MenuSession::close_from(size_t level) {
  if (panels_.size() > level) {
    panels_.resize(level);
    changed_ = true;
  }
}

void MenuSession::drop_bar(int entry) {
  close_from(0);
  bar_open_ = entry;
  changed_ = true;
  if (entry < 0) return;
  const MenuItem& it = (*bar_)[size_t(entry)];
  if (it.popup && menu_item_active(it)) open_panel(it.submenu, bar_entries_[size_t(entry)], true);
}

std::pair<int, int> MenuSession::hit(int x, int y) const {
  for (int p = int(panels_.size()) - 1; p >= 0; --p) {
    const Panel& pn = panels_[size_t(p)];
    if (!inside(pn.rect(), x, y)) continue;
    for (size_t i = 0; i < pn.layout.items.size(); ++i) {
      Rect r = pn.layout.items[i];
      if (inside({r.left + pn.x, r.top + pn.y, r.right + pn.x, r.bottom + pn.y}, x, y)) return {p, int(i)};
    }
    return {p, -1};
  }
  return {-1, -1};
}

int MenuSession::bar_hit(int x, int y) const {
  if (!bar_) return -1;
  for (size_t i = 0; i < bar_entries_.size(); ++i)
    if (bar_entries_[i].width() > 0 && inside(bar_entries_[i], x, y) && !(*bar_)[i].separator) return int(i);
  return -1;
}

void MenuSession::finish(uint32_t id) {
  finished_ = true;
  chosen_ = id;
  close_from(0);
  bar_open_ = -1;
  changed_ = true;
}

void MenuSession::choose(const MenuItem& item) { finish(item.id); }

void MenuSession::pointer_move(int x, int y) {
  if (finished_) return;
  const int b = bar_hit(x, y);
  if (b >= 0) {
    if (bar_open_ >= 0 && b != bar_open_) drop_bar(b);
    return;
  }
  auto [p, i] = hit(x, y);
  if (p < 0) return;
  Panel& pn = panels_[size_t(p)];
  const int want = (i >= 0 && !(*pn.items)[size_t(i)].separator) ? i : -1;
  if (pn.highlighted != want) {
    pn.highlighted = want;
    changed_ = true;
  }
  // The cascade of the item under the pointer is open, any other is closed.
  const MenuItem* item = want >= 0 ? &(*pn.items)[size_t(want)] : nullptr;
  const bool cascade = item && item->popup && menu_item_active(*item);
  if (size_t(p) + 1 < panels_.size()) {
    if (cascade && panels_[size_t(p) + 1].items == &item->submenu) return;
    if (want < 0) return;  // between items: what is open stays open
    close_from(size_t(p) + 1);
  }
  if (cascade) {
    const Rect r = pn.layout.items[size_t(want)];
    open_panel(item->submenu, {pn.x, r.top + pn.y, pn.x + pn.layout.width, r.bottom + pn.y}, false);
  }
}

void MenuSession::press(int x, int y) {
  if (finished_) return;
  const int b = bar_hit(x, y);
  if (b >= 0) {
    if (b == bar_open_) finish(0);  // a second press on the dropped entry closes the menu
    else drop_bar(b);
    pressed_inside_ = true;
    return;
  }
  auto [p, i] = hit(x, y);
  if (p < 0) {
    finish(0);
    return;
  }
  pressed_inside_ = true;
  pointer_move(x, y);
}

void MenuSession::release(int x, int y) {
  if (finished_) return;
  const int b = bar_hit(x, y);
  if (b >= 0) {
    const MenuItem& it = (*bar_)[size_t(b)];
    if (!it.popup && menu_item_active(it) && b == bar_open_) choose(it);
    return;
  }
  auto [p, i] = hit(x, y);
  if (p < 0 || i < 0) return;
  const MenuItem& it = (*panels_[size_t(p)].items)[size_t(i)];
  if (menu_item_active(it) && !it.popup) choose(it);
}

void MenuSession::escape() {
  if (!finished_) finish(0);
}

}  // namespace nv::platform
