#include "platform/headless/display_headless.h"

#include <algorithm>

namespace nv::platform {

std::unique_ptr<Display> make_headless_display(DesktopSize desktop) {
  return std::make_unique<HeadlessDisplay>(desktop);
}

Rect HeadlessDisplay::frame_margins(bool framed) {
  if (!framed) return {};
  return {kBorder, kBorder + kCaption, kBorder, kBorder};
}

bool HeadlessDisplay::create_window(int slot, const WindowSpec& spec) {
  if (!windows_.valid(slot) || spec.client_width <= 0 || spec.client_height <= 0) return false;
  Window& w = windows_[slot];
  w = Window{};
  w.exists = true;
  w.spec = spec;
  w.shown = spec.shown;
  clear_client(w);
  stacking_.erase(std::remove(stacking_.begin(), stacking_.end(), slot), stacking_.end());
  stacking_.insert(stacking_.begin(), slot);
  if (spec.shown) note_main_shown(slot, true);
  return true;
}

void HeadlessDisplay::note_main_shown(int slot, bool shown) {
  if (slot != 0) return;
  inject([shown](WindowEvents& sink) { sink.on_activate(0, shown); });
}

bool HeadlessDisplay::client_cursor(int slot, int& x, int& y) {
  Window* w = get(slot);
  if (!w) return false;
  const Rect m = frame_margins(w->spec.framed);
  x = cursor_x_ - (w->spec.x + m.left);
  y = cursor_y_ - (w->spec.y + m.top);
  return true;
}

void HeadlessDisplay::warp_cursor(int slot, int x, int y) {
  Window* w = get(slot);
  if (!w) return;
  const Rect m = frame_margins(w->spec.framed);
  cursor_x_ = w->spec.x + m.left + x;
  cursor_y_ = w->spec.y + m.top + y;
}

void HeadlessDisplay::set_menu_bar(int slot, const MenuList* bar) {
  if (Window* w = get(slot)) {
    w->has_menu_bar = bar != nullptr;
    w->menu_bar = bar ? *bar : MenuList{};
  }
}

uint32_t HeadlessDisplay::popup_menu(const MenuList& items, int x, int y) {
  popups_.push_back({items, x, y});
  return 0;
}

void HeadlessDisplay::destroy_window(int slot) {
  if (Window* w = get(slot)) {
    if (w->shown) note_main_shown(slot, false);
    *w = Window{};
    stacking_.erase(std::remove(stacking_.begin(), stacking_.end(), slot), stacking_.end());
  }
}

bool HeadlessDisplay::exists(int slot) { return get(slot) != nullptr; }

void HeadlessDisplay::set_caption(int slot, const std::string& caption) {
  if (Window* w = get(slot)) w->spec.caption = caption;
}

void HeadlessDisplay::show(int slot, bool shown) {
  if (Window* w = get(slot)) {
    if (w->shown != shown) note_main_shown(slot, shown);
    w->shown = shown;
  }
}

void HeadlessDisplay::move(int slot, int x, int y) {
  if (Window* w = get(slot)) {
    w->spec.x = x;
    w->spec.y = y;
  }
}

void HeadlessDisplay::resize_client(int slot, int width, int height) {
  Window* w = get(slot);
  if (!w || width <= 0 || height <= 0) return;
  std::vector<uint32_t> next(size_t(width) * size_t(height), 0xFF000000u);
  for (int y = 0; y < std::min(height, w->spec.client_height); ++y)
    for (int x = 0; x < std::min(width, w->spec.client_width); ++x)
      next[size_t(y) * size_t(width) + size_t(x)] = w->client[size_t(y) * size_t(w->spec.client_width) + size_t(x)];
  w->client = std::move(next);
  w->spec.client_width = width;
  w->spec.client_height = height;
}

Rect HeadlessDisplay::outer_rect(int slot) {
  Window* w = get(slot);
  if (!w) return {};
  Rect m = frame_margins(w->spec.framed);
  return {w->spec.x, w->spec.y, w->spec.x + m.left + w->spec.client_width + m.right,
          w->spec.y + m.top + w->spec.client_height + m.bottom};
}

void HeadlessDisplay::restack(int slot, ZOrder z) {
  stacking_.erase(std::remove(stacking_.begin(), stacking_.end(), slot), stacking_.end());
  switch (z) {
    case ZOrder::top:
    case ZOrder::always_on_top: stacking_.insert(stacking_.begin(), slot); break;
    case ZOrder::bottom: stacking_.push_back(slot); break;
    case ZOrder::behind_main: {
      auto main = std::find(stacking_.begin(), stacking_.end(), 0);
      stacking_.insert(main == stacking_.end() ? stacking_.end() : main + 1, slot);
      break;
    }
  }
  // Always-on-top windows stay above the others.
  std::stable_partition(stacking_.begin(), stacking_.end(),
                        [&](int s) { return windows_[s].z == ZOrder::always_on_top; });
}

void HeadlessDisplay::set_z_order(int slot, ZOrder z) {
  if (Window* w = get(slot)) {
    w->z = z;
    restack(slot, z);
  }
}

void HeadlessDisplay::set_maximize_box(int slot, bool on) {
  if (Window* w = get(slot)) w->spec.maximize_box = on;
}

void HeadlessDisplay::raise(int slot) {
  if (Window* w = get(slot)) {
    w->minimized = false;
    restack(slot, ZOrder::top);
  }
}

void HeadlessDisplay::minimize(int slot) {
  if (Window* w = get(slot)) w->minimized = true;
}

void HeadlessDisplay::restore(int slot) {
  if (Window* w = get(slot)) w->minimized = false;
}

bool HeadlessDisplay::is_minimized(int slot) {
  Window* w = get(slot);
  return w && w->minimized;
}

bool HeadlessDisplay::set_shape(int slot, const std::vector<Rect>& rects) {
  Window* w = get(slot);
  if (!w) return false;
  w->shaped = true;
  w->shape = rects;
  return true;
}

void HeadlessDisplay::clear_shape(int slot) {
  if (Window* w = get(slot)) {
    w->shaped = false;
    w->shape.clear();
  }
}

void HeadlessDisplay::set_drag_test(int slot, std::function<bool(int x, int y)> test) {
  if (Window* w = get(slot)) w->drag_test = std::move(test);
}

void HeadlessDisplay::inject_left_press(int slot, int x, int y) {
  inject([this, slot, x, y](WindowEvents& sink) {
    Window* w = get(slot);
    if (!w) return;
    if (w->drag_test && w->drag_test(x, y)) {
      ++w->drags;  // the desktop takes the press: the window moves, the engine sees nothing
      return;
    }
    sink.on_mouse_button(slot, MouseButton::left, true, x, y);
  });
}

bool HeadlessDisplay::set_fullscreen(bool on, int, int) {
  fullscreen_ = on;
  return true;
}

void HeadlessDisplay::present(int slot, const uint32_t* pixels, int width, int height, int x, int y) {
  Window* w = get(slot);
  if (!w || !pixels || width <= 0 || height <= 0) return;
  ++w->presents;
  paste_into_client(*w, pixels, width, height, x, y);
}

void HeadlessDisplay::blank(int slot) {
  if (Window* w = get(slot)) {
    ++w->blanks;
    std::fill(w->client.begin(), w->client.end(), 0xFF000000u);
  }
}

std::vector<uint32_t> HeadlessDisplay::client_pixels(int slot, int& width, int& height) {
  return client_copy(get(slot), width, height);
}

bool HeadlessDisplay::run_preview(uint64_t parent, const uint32_t* pixels, int width, int height) {
  if (parent == 0) return false;
  preview_.parent = parent;
  preview_.width = width;
  preview_.height = height;
  preview_.pixels.assign(pixels, pixels + size_t(width) * size_t(height));
  return true;
}

void HeadlessDisplay::pump_events(WindowEvents& sink) {
  while (!pending_.empty()) {
    auto ev = std::move(pending_.front());
    pending_.pop_front();
    ev(sink);
  }
}

}  // namespace nv::platform
