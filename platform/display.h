// Windows on the desktop, as the engine drives them: up to four numbered
// windows (0 is the main window) with a client area the engine presents
// 32-bit canvases into, and the events the desktop sends back.
//
// The engine keeps the window records and decides; a backend only does what
// it is told and reports what the user did through a WindowEvents sink.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/menus.h"
#include "platform/system_info.h"

namespace nv::platform {

constexpr int kWindowSlots = 4;

struct Rect {
  int left = 0, top = 0, right = 0, bottom = 0;
  int width() const { return right - left; }
  int height() const { return bottom - top; }
};

struct WindowSpec {
  std::string caption;  // Shift-JIS
  int x = 0, y = 0;     // outer position
  int client_width = 128, client_height = 128;
  bool framed = true;     // caption bar and border; false: a borderless popup
  bool minimize_box = true;
  bool maximize_box = false;
  bool resizable = false;
  bool topmost = false;
  bool shown = false;
};

enum class ZOrder { top, always_on_top, bottom, behind_main };

enum class MouseButton { left = 1, right = 2, middle = 4 };

// What the user and the desktop do to the windows. Called by
// Display::pump_events on the thread that owns the windows.
struct WindowEvents {
  virtual ~WindowEvents() = default;
  virtual void on_close_box(int slot) = 0;            // the close box or Alt+F4
  virtual void on_minimize_box(int slot) = 0;
  virtual void on_maximize_box(int slot) = 0;
  virtual void on_activate(int slot, bool active) = 0;
  virtual void on_exposed(int slot) = 0;              // the window needs its picture again
  virtual void on_key(int virtual_key, bool down) = 0;
  virtual void on_mouse_move(int slot, int x, int y) = 0;  // client coordinates of the canvas
  virtual void on_mouse_button(int slot, MouseButton b, bool down, int x, int y) = 0;
  virtual void on_wheel(int slot, int delta) = 0;     // 120 per notch, forward positive
  virtual void on_drop_files(int slot, const std::vector<std::string>& names) = 0;  // Shift-JIS
  virtual void on_quit() = 0;                         // the desktop session asks to end
  // An item of a window's menu bar was chosen.
  virtual void on_menu_command(int /*slot*/, uint32_t /*id*/) {}
};

class Display {
 public:
  virtual ~Display() = default;

  virtual DesktopSize desktop() = 0;
  // The frame a window adds around its client area.
  virtual Rect frame_margins(bool framed) = 0;

  virtual bool create_window(int slot, const WindowSpec& spec) = 0;
  virtual void destroy_window(int slot) = 0;
  virtual bool exists(int slot) = 0;

  virtual void set_caption(int slot, const std::string& caption_sjis) = 0;
  virtual void show(int slot, bool shown) = 0;
  virtual void move(int slot, int outer_x, int outer_y) = 0;
  virtual void resize_client(int slot, int width, int height) = 0;
  virtual Rect outer_rect(int slot) = 0;
  virtual void set_z_order(int slot, ZOrder z) = 0;
  virtual void set_maximize_box(int slot, bool on) = 0;
  virtual void raise(int slot) = 0;  // to the foreground
  virtual void minimize(int slot) = 0;
  virtual void restore(int slot) = 0;
  virtual bool is_minimized(int slot) = 0;

  // Shapes the window to these client rectangles; an empty list gives an
  // empty shape. clear_shape() returns to the plain rectangle.
  virtual bool set_shape(int slot, const std::vector<Rect>& rects) = 0;
  virtual void clear_shape(int slot) = 0;

  // Dragging by a layer: `test` tells, for a left press at client point
  // (x, y), whether the desktop should move the window with the mouse
  // until the button is released. An empty function switches it off.
  virtual void set_drag_test(int slot, std::function<bool(int x, int y)> test) = 0;

  // Full screen of the main window: desktop full screen, the client area
  // of `width` x `height` scaled to fit the screen with its aspect kept.
  // Returns false when the desktop refuses.
  virtual bool set_fullscreen(bool on, int width, int height) = 0;
  virtual bool is_fullscreen() = 0;

  // Copies a top-down 32-bit BGRA canvas into the client area with its
  // top-left corner at (x, y); what lies outside it is not touched.
  virtual void present(int slot, const uint32_t* pixels, int width, int height, int x, int y) = 0;
  // Paints the whole client area black.
  virtual void blank(int slot) = 0;

  // What the client area shows now (top-down BGRA); empty for no window.
  virtual std::vector<uint32_t> client_pixels(int slot, int& width, int& height) = 0;

  // Delivers what happened since the last call.
  virtual void pump_events(WindowEvents& sink) = 0;

  // The screen-saver preview: shows the picture 1:1 inside the desktop's
  // window `parent` (a native window id) until that window goes away or the
  // session ends. Returns false when the parent cannot be used.
  virtual bool run_preview(uint64_t parent, const uint32_t* pixels, int width, int height) = 0;

  // Mouse cursor shown or hidden over the engine's windows.
  virtual void show_cursor(bool shown) = 0;
  // The mouse position in desktop coordinates.
  virtual void cursor_position(int& x, int& y) = 0;
  // The mouse position in a window's client (canvas) coordinates, which
  // may lie outside the client area; false when the window does not exist.
  virtual bool client_cursor(int slot, int& x, int& y) = 0;
  // Moves the mouse to a client point of a window.
  virtual void warp_cursor(int slot, int x, int y) = 0;
  // The cursor's shape over the engine's windows: 1 I-beam, 2 wait,
  // 3 cross, 4 up arrow, 5 size NW-SE, 6 size NE-SW, 7 size W-E, 8 size
  // N-S, 9 size all, 10 no, 11 hand, 12 busy arrow, 13 help, else arrow.
  virtual void set_cursor_shape(int shape) = 0;

  // The menu bar of a window, drawn by the engine (platform/menu_layout.h)
  // in a strip above the client area; nullptr removes it. The client area
  // keeps its size. A chosen item reaches WindowEvents::on_menu_command.
  virtual void set_menu_bar(int slot, const MenuList* bar) = 0;
  // A pop-up menu at a desktop point, until the user chooses an item (its
  // id) or dismisses it (0).
  virtual uint32_t popup_menu(const MenuList& items, int x, int y) = 0;
};

}  // namespace nv::platform
