#include "input/input_commands.h"

#include "core/engine.h"
#include "display/windows_state.h"
#include "graphics/graphics_state.h"
#include "runtime/arg_slots.h"
#include "runtime/dispatch.h"
#include "runtime/script_tables.h"
#include "input/input_state.h"
#include "runtime/arg_eval.h"
#include "formats/command_table.h"

namespace nv::input {

namespace {

void request_cursor(CursorState& c, bool shown) {
  c.request = shown ? CursorRequest::show : CursorRequest::hide;
  c.shown = shown;
}

}  // namespace

int input_command(Engine& e) {
  namespace K = kw::INPUT;
  if (evaluate_arguments(e) != 0) return -1;
  const ArgSlots& a = e.args;
  InputSwitches& s = e.input.keys.switches;
  if (a.has(K::KEY)) s.keyboard = a.at(K::KEY).value != 0;
  if (a.has(K::PAD)) s.pad = a.at(K::PAD).value != 0;
  if (a.has(K::MOUSE)) {
    const bool on = a.at(K::MOUSE).value != 0;
    if (s.mouse && !on) request_cursor(e.input.keys.cursor, false);
    if (!s.mouse && on) request_cursor(e.input.keys.cursor, true);
    s.mouse = on;
  }
  return 0;
}

int mouse_command(Engine& e) {
  namespace K = kw::MOUSE;
  if (evaluate_arguments(e) != 0) return -1;
  const ArgSlots& a = e.args;
  CursorState& c = e.input.keys.cursor;
  if (a.has(K::MODE)) {
    switch (a.at(K::MODE).value) {
      case 0:
        if (c.shown) request_cursor(c, false);
        c.auto_hide_running = false;
        c.mode = 0;
        break;
      case 1:
        if (!c.shown && !c.auto_hide_running) request_cursor(c, true);
        c.mode = 1;
        break;
      default:
        request_cursor(c, true);
        c.auto_hide_running = false;
        c.mode = 2;
        break;
    }
  }
  if (a.has(K::TIME)) c.delay_ms = a.at(K::TIME).value;
  if (a.has(K::MOVE)) c.wake_move = a.at(K::MOVE).value != 0;
  if (a.has(K::CLICK)) c.wake_click = a.at(K::CLICK).value != 0;
  if (a.has(K::WHEEL)) c.wake_wheel = a.at(K::WHEEL).value != 0;
  if (a.has(K::X) || a.has(K::Y)) {
    // The other coordinate stays where the pointer is.
    gfx::WindowView& w = e.graphics.windows[0];
    if (a.has(K::X)) w.mouse_x = a.at(K::X).value;
    if (a.has(K::Y)) w.mouse_y = a.at(K::Y).value;
    const int x = static_cast<int>(w.mouse_x), y = static_cast<int>(w.mouse_y);
    e.input.ui.run([&] { e.platform.display->warp_cursor(0, x, y); });
  }
  if (a.has(K::CURSOR)) {
    const int shape = static_cast<int>(a.at(K::CURSOR).value);
    e.input.cursor_shape = shape;
    e.input.ui.run([&] { e.platform.display->set_cursor_shape(shape); });
  }
  return 0;
}

}  // namespace nv::input
