#include "display/window_events.h"

#include "core/engine.h"
#include "display/window_create.h"
#include "display/windows_state.h"
#include "formats/sjis_text.h"
#include "graphics/graphics_state.h"
#include "platform/encoding.h"
#include "values/system_vars.h"

namespace nv::display {

namespace {

struct EngineWindowEvents final : platform::WindowEvents {
  explicit EngineWindowEvents(Engine& engine) : e(engine) {}
  Engine& e;

  void note_mouse(int slot, int x, int y) {
    gfx::WindowView& v = e.graphics.windows[static_cast<size_t>(slot)];
    v.mouse_x = x;
    v.mouse_y = y;
  }

  bool valid(int slot) const { return slot >= 0 && slot < kWindowCount && e.windows.at(slot).exists; }

  void on_close_box(int slot) override {
    if (valid(slot)) handle_close_box(e, slot);
  }
  void on_minimize_box(int slot) override {
    if (valid(slot)) handle_minimize_box(e, slot);
  }
  void on_maximize_box(int slot) override {
    if (valid(slot)) handle_maximize_box(e, slot);
  }
  void on_activate(int slot, bool active) override {
    if (!valid(slot)) return;
    e.windows.at(slot).active = active;
    mark_window_redraw(e, slot);
  }
  void on_exposed(int slot) override {
    if (valid(slot)) mark_window_redraw(e, slot);
  }
  void on_key(int virtual_key, bool down) override {
    // Alt and F10 reach the input sampling like other keys; the desktop's
    // menu activation is not triggered by the backends.
    if (down) e.windows.flags.last_key = virtual_key;
    e.windows.raw.note_key(virtual_key, down);
  }
  void on_mouse_move(int slot, int x, int y) override {
    if (!valid(slot)) return;
    note_mouse(slot, x, y);
    e.windows.flags.mouse_buttons |= 128;
    e.windows.raw.note_moved();
  }
  void on_mouse_button(int slot, platform::MouseButton b, bool down, int x, int y) override {
    if (!valid(slot)) return;
    note_mouse(slot, x, y);
    if (down) e.windows.flags.mouse_buttons |= static_cast<uint8_t>(b);
    e.windows.raw.note_key(static_cast<int>(b), down);
  }
  void on_wheel(int slot, int delta) override {
    if (!valid(slot)) return;
    e.windows.flags.wheel = delta;
    e.windows.raw.note_wheel(delta);
  }
  void on_menu_command(int slot, uint32_t id) override {
    if (valid(slot)) e.windows.flags.menu_command = static_cast<int64_t>(id);
  }
  void on_drop_files(int, const std::vector<std::string>& names) override {
    // A new drop replaces the previous list; names are cut to 260 bytes at
    // a character boundary, at most 65536 of them.
    constexpr size_t kMaxFiles = 65536, kMaxName = 260;
    SystemVarState& s = e.sysvars;
    s.dropped.clear();
    for (const std::string& n : names) {
      if (s.dropped.size() == kMaxFiles) break;
      s.dropped.push_back(n.size() <= kMaxName ? n : std::string(sjis::prefix_fitting(n, kMaxName)));
    }
    s.dropped_count = static_cast<int64_t>(s.dropped.size());
  }
  void on_quit() override { close_engine(e); }
};

}  // namespace

void pump_window_events(Engine& e) {
  EngineWindowEvents sink(e);
  e.platform.display->pump_events(sink);
}

void handle_close_box(Engine& e, int slot) {
  WindowRecord& r = e.windows.at(slot);
  switch (r.close_mode) {
    case 0: e.sysvars.held.ints[kCloseRequestVar] = 1; return;
    case 1: {
      platform::MessageBoxSpec box;
      box.caption = e.config.caption;
      box.text = platform::utf8_to_sjis(kCloseQuestionUtf8);
      box.buttons = platform::Buttons::yes_no;
      box.icon = platform::Icon::information;
      if (e.platform.dialogs->message_box(box) != platform::kIdYes) return;
      e.windows.flags.quit = true;
      close_window(e, slot);
      return;
    }
    case 2:
      e.windows.flags.quit = true;
      close_window(e, slot);
      return;
    default: close_window(e, slot); return;
  }
}

void handle_minimize_box(Engine& e, int slot) {
  WindowRecord& r = e.windows.at(slot);
  if (r.min_mode != 0) return;  // the window minimises itself
  // The desktop may already have minimised it: the script decides.
  if (e.platform.display->is_minimized(slot)) e.platform.display->restore(slot);
  e.sysvars.held.ints[kMinimizeRequestVar] = 1;
}

void handle_maximize_box(Engine& e, int slot) { e.sysvars.held.ints[kMaximizeRequestVar] = slot + 1; }

}  // namespace nv::display
