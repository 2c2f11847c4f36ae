#include "display/window_create.h"

#include <cstdio>

#include "core/engine.h"
#include "core/error_report.h"
#include "display/windows_state.h"
#include "graphics/graphics_state.h"

namespace nv::display {

namespace {

bool is_lead_byte(uint8_t c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

bool framed_window(const Engine& e, int slot) {
  if (slot != 0) return true;
  return e.config.frame_setting != 0 && !e.windows.screen_saver;
}

bool main_is_screen_sized(Engine& e) {
  platform::DesktopSize d = e.platform.display->desktop();
  return e.config.screen_width == d.width && e.config.screen_height == d.height;
}

}  // namespace

std::string main_window_class(std::string_view exe_path) {
  std::string out(exe_path);
  for (size_t i = 0; i < out.size(); ++i) {
    uint8_t c = static_cast<uint8_t>(out[i]);
    if (is_lead_byte(c) && i + 1 < out.size()) {
      ++i;
      continue;
    }
    if (c == '\\' || c == '/') out[i] = ':';
  }
  return out;
}

std::string sub_window_class(std::string_view main_class, int slot) {
  return std::string(main_class) + "_sub_" + std::to_string(slot);
}

bool create_window_for(Engine& e, int slot) {
  platform::Display& d = *e.platform.display;
  WindowRecord& r = e.windows.at(slot);
  r.class_registered = true;
  r.class_name = slot == 0 ? e.windows.main_class : sub_window_class(e.windows.main_class, slot);

  platform::WindowSpec spec;
  spec.caption = r.caption;
  spec.client_width = r.sx;
  spec.client_height = r.sy;
  const bool screen_sized = slot == 0 && main_is_screen_sized(e);
  spec.framed = framed_window(e, slot) && !screen_sized;
  spec.minimize_box = spec.framed;
  spec.maximize_box = slot == 0 && spec.framed && e.config.resizable != 0;
  spec.resizable = slot == 0 && e.config.resizable != 0;
  spec.topmost = e.windows.screen_saver;

  // The main window (and any window without frames) is centred on the
  // desktop; a framed sub-window starts at the top-left corner.
  platform::Rect m = d.frame_margins(spec.framed);
  const int outer_w = r.sx + m.left + m.right;
  const int outer_h = r.sy + m.top + m.bottom;
  if (slot == 0 || !spec.framed) {
    platform::DesktopSize desk = d.desktop();
    r.x = (desk.width - outer_w) / 2;
    r.y = (desk.height - outer_h) / 2;
  } else {
    r.x = 0;
    r.y = 0;
  }
  spec.x = r.x;
  spec.y = r.y;
  r.source = {0, 0, r.sx, r.sy};
  if (!d.create_window(slot, spec)) return false;
  r.exists = true;
  r.visible = false;
  r.drawn = false;
  note_client_size(e, slot);
  return true;
}

bool create_main_window(Engine& e, std::string_view exe_path) {
  WindowsState& ws = e.windows;
  ws.main_class = main_window_class(exe_path);
  WindowRecord& r = ws.at(0);
  r.sx = e.config.screen_width;
  r.sy = e.config.screen_height;
  r.caption = e.config.caption.substr(0, kCaptionLimit);
  // The record says what is on the screen: the configured E, fully opaque.
  r.enabled = static_cast<uint8_t>(e.config.initial_shown != 0 ? 1 : 0);
  r.alpha = 256;
  return create_window_for(e, 0);
}

void show_main_window_at_start(Engine& e) {
  if (!e.windows.at(0).exists) return;
  apply_window_visibility(e, 0);
  if (main_is_screen_sized(e) || e.windows.screen_saver) switch_fullscreen(e, true);
}

void apply_window_visibility(Engine& e, int slot) {
  const WindowRecord& r = e.windows.at(slot);
  set_window_shown(e, slot, r.alpha >= 1 && r.enabled >= 1);
}

void set_window_shown(Engine& e, int slot, bool shown) {
  WindowRecord& r = e.windows.at(slot);
  if (!r.exists) return;
  e.platform.display->show(slot, shown);
  r.visible = shown;
  if (shown) mark_window_redraw(e, slot);
}

void mark_window_redraw(Engine& e, int slot) {
  gfx::LayerNode* set = e.graphics.windows[static_cast<size_t>(slot)].set;
  if (!set || !set->layer) return;
  set->layer->dirty.full_redraw = true;
  gfx::mark_set_dirty(*set);
}

void note_client_size(Engine& e, int slot) {
  const WindowRecord& r = e.windows.at(slot);
  gfx::WindowView& v = e.graphics.windows[static_cast<size_t>(slot)];
  v.client_width = r.exists ? r.sx : 0;
  v.client_height = r.exists ? r.sy : 0;
}

int switch_fullscreen(Engine& e, bool on) {
  WindowsState& ws = e.windows;
  if (ws.fullscreen == on) return 0;
  WindowRecord& r = ws.at(0);
  if (!r.exists) return 0;
  ws.fullscreen_width = r.sx;
  ws.fullscreen_height = r.sy;
  if (!e.platform.display->set_fullscreen(on, r.sx, r.sy)) {
    ws.fullscreen = false;
    if (on) e.platform.display->set_fullscreen(false, r.sx, r.sy);
    report(e, 105210);
    return -1;
  }
  ws.fullscreen = on;
  mark_window_redraw(e, 0);
  return 1;
}

void close_window(Engine& e, int slot) {
  WindowRecord& r = e.windows.at(slot);
  if (!r.exists) return;
  r.exists = false;
  r.drawn = false;
  r.active = false;
  if (slot == 0 && e.windows.fullscreen) {
    e.platform.display->set_fullscreen(false, r.sx, r.sy);
    e.windows.fullscreen = false;
  }
  r.visible = false;
  e.platform.display->destroy_window(slot);
  note_client_size(e, slot);
  if (r.close_mode != 3) {
    e.windows.flags.quit = true;
    e.stop.store(true);
  }
}

void close_engine(Engine& e) {
  e.windows.flags.quit = true;
  e.windows.at(0).close_mode = 2;
  close_window(e, 0);
  e.stop.store(true);
}

void shut_down_windows(Engine& e) {
  platform::Display& d = *e.platform.display;
  if (e.windows.fullscreen) {
    d.set_fullscreen(false, e.windows.at(0).sx, e.windows.at(0).sy);
    e.windows.fullscreen = false;
  }
  d.show_cursor(true);
  for (int s = kWindowCount - 1; s >= 0; --s) {
    if (!e.windows.at(s).exists) continue;
    e.windows.at(s).exists = false;
    e.windows.at(s).visible = false;
    d.destroy_window(s);
  }
}

}  // namespace nv::display
