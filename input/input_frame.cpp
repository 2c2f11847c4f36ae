#include "input/input_frame.h"

#include <algorithm>

#include "core/engine.h"
#include "display/windows_state.h"
#include "graphics/graphics_state.h"
#include "runtime/arg_slots.h"
#include "runtime/dispatch.h"
#include "runtime/script_tables.h"
#include "display/window_events.h"
#include "input/input_state.h"
#include "input/menu_commands.h"
#include "runtime/dispatch.h"

namespace nv::input {

namespace {

bool outside(const display::WindowRecord& r, int64_t x, int64_t y) { return x < 0 || y < 0 || x >= r.sx || y >= r.sy; }

int first_active_window(Engine& e) {
  for (int s = 0; s < display::kWindowCount; ++s)
    if (e.windows.at(s).exists && e.windows.at(s).active) return s;
  return -1;
}

void note_pointer(Engine& e) {
  const int active = first_active_window(e);
  bool out = true;
  if (active >= 0) {
    const gfx::WindowView& v = e.graphics.windows[static_cast<size_t>(active)];
    out = outside(e.windows.at(active), v.mouse_x, v.mouse_y);
  }
  e.windows.raw.note_focus(active >= 0, out);
}

// A scripted event, delivered as the window events of a user would be.
void deliver(Engine& e, const ScriptedEvent& ev) {
  InputState& in = e.input;
  switch (ev.kind) {
    case ScriptedKind::key: e.windows.raw.note_key(ev.vk, ev.down); break;
    case ScriptedKind::button: e.windows.raw.note_key(ev.vk, ev.down); break;
    case ScriptedKind::wheel: e.windows.raw.note_wheel(ev.wheel * 120); break;
    case ScriptedKind::mouse: {
      gfx::WindowView& v = e.graphics.windows[0];
      v.mouse_x = ev.x;
      v.mouse_y = ev.y;
      e.windows.raw.note_moved();
      in.ui.run([&] { e.platform.display->warp_cursor(0, ev.x, ev.y); });
      note_pointer(e);
      break;
    }
    case ScriptedKind::type: in.answers.typed.push_back(ev.text); break;
    case ScriptedKind::answer: in.answers.boxes.push_back(ev.answer); break;
    case ScriptedKind::menu: in.answers.menus.push_back(ev.code); break;
    case ScriptedKind::close: display::handle_close_box(e, 0); break;
  }
}

struct TraySink final : platform::TrayEvents {
  explicit TraySink(Engine& engine) : e(engine) {}
  Engine& e;
  void on_tray_activate(int, int) override {
    if (e.windows.at(0).exists) e.platform.display->raise(0);
  }
  void on_tray_context_menu(int x, int y) override {
    if (x == 0 && y == 0) e.platform.display->cursor_position(x, y);
    if (e.windows.at(0).exists) e.platform.display->raise(0);
    request_tray_menu(e, x, y);
  }
};

}  // namespace

void take_input_snapshot(Engine& e) {
  for (int s = 0; s < display::kWindowCount; ++s) {
    if (!e.windows.at(s).exists) continue;
    int x = 0, y = 0;
    if (e.platform.display->client_cursor(s, x, y)) {
      gfx::WindowView& v = e.graphics.windows[static_cast<size_t>(s)];
      v.mouse_x = x;
      v.mouse_y = y;
    }
  }
  note_pointer(e);
}

void input_frame_step(Engine& e) {
  InputState& in = e.input;
  ++in.frame_steps;
  for (const ScriptedEvent& ev : take_due_events(in.script, in.frame_steps)) deliver(e, ev);
  const display::RawSample s = e.windows.raw.take();
  step_key_state(in.keys, s, static_cast<int64_t>(e.platform.clock->now_ms()));
  CursorState& c = in.keys.cursor;
  if (c.request != CursorRequest::none) {
    const bool show = c.request == CursorRequest::show;
    c.request = CursorRequest::none;
    in.ui.run([&] { e.platform.display->show_cursor(show); });
  }
  for (int slot = 0; slot < display::kWindowCount; ++slot) {
    display::WindowRecord& r = e.windows.at(slot);
    if (r.exists && r.active && e.platform.display->is_minimized(slot)) r.active = false;
  }
  // An inactive main window holds the engine when background execution is off.
  e.dispatch.pause.main_window_active = e.windows.at(0).active;
  update_pause_state(e);
}

void pump_tray_events(Engine& e) {
  TraySink sink(e);
  e.platform.tray->pump(sink);
}

void note_joysticks(Engine& e, int count) {
  e.input.joysticks = std::clamp(count, 0, 16);
  e.input.pad = e.input.joysticks > 0;
}

}  // namespace nv::input
