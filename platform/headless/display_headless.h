// Headless windows: records and client pixels in memory; nothing appears
// on a screen, and scripted events can be fed in.
#pragma once

#include <deque>
#include <functional>

#include "platform/display.h"
#include "platform/system_info.h"
#include "platform/window_slots.h"

namespace nv::platform {

class HeadlessDisplay final : public Display {
 public:
  explicit HeadlessDisplay(DesktopSize desktop) : desktop_(desktop) {}

  // The frame headless windows pretend to have: 3-pixel borders and a
  // 22-pixel caption bar.
  static constexpr int kBorder = 3;
  static constexpr int kCaption = 22;

  DesktopSize desktop() override { return desktop_; }
  Rect frame_margins(bool framed) override;
  bool create_window(int slot, const WindowSpec& spec) override;
  void destroy_window(int slot) override;
  bool exists(int slot) override;
  void set_caption(int slot, const std::string& caption_sjis) override;
  void show(int slot, bool shown) override;
  void move(int slot, int outer_x, int outer_y) override;
  void resize_client(int slot, int width, int height) override;
  Rect outer_rect(int slot) override;
  void set_z_order(int slot, ZOrder z) override;
  void set_maximize_box(int slot, bool on) override;
  void raise(int slot) override;
  void minimize(int slot) override;
  void restore(int slot) override;
  bool is_minimized(int slot) override;
  bool set_shape(int slot, const std::vector<Rect>& rects) override;
  void clear_shape(int slot) override;
  void set_drag_test(int slot, std::function<bool(int x, int y)> test) override;
  bool set_fullscreen(bool on, int width, int height) override;
  bool is_fullscreen() override { return fullscreen_; }
  void present(int slot, const uint32_t* pixels, int width, int height, int x, int y) override;
  void blank(int slot) override;
  std::vector<uint32_t> client_pixels(int slot, int& width, int& height) override;
  void pump_events(WindowEvents& sink) override;
  bool run_preview(uint64_t parent, const uint32_t* pixels, int width, int height) override;
  void show_cursor(bool shown) override { cursor_shown_ = shown; }
  void cursor_position(int& x, int& y) override {
    x = cursor_x_;
    y = cursor_y_;
  }
  bool client_cursor(int slot, int& x, int& y) override;
  void warp_cursor(int slot, int x, int y) override;
  void set_cursor_shape(int shape) override { cursor_shape_ = shape; }
  void set_menu_bar(int slot, const MenuList* bar) override;
  // Records the menu and dismisses it.
  uint32_t popup_menu(const MenuList& items, int x, int y) override;

  // Moves the simulated mouse (desktop coordinates).
  void set_cursor_position(int x, int y) {
    cursor_x_ = x;
    cursor_y_ = y;
  }

  // For tests and scripted input: an event delivered at the next pump.
  void inject(std::function<void(WindowEvents&)> event) { pending_.push_back(std::move(event)); }
  // A left press at a client point: starts a drag when the window's drag
  // test says so (counted in Window::drags), then reaches the sink.
  void inject_left_press(int slot, int x, int y);

  struct Window : ClientArea {
    bool exists = false;
    bool shown = false;
    bool minimized = false;
    ZOrder z = ZOrder::top;
    bool shaped = false;
    std::vector<Rect> shape;
    int presents = 0;
    int blanks = 0;
    int drags = 0;
    bool has_menu_bar = false;
    MenuList menu_bar;
    bool open() const { return exists; }
  };
  const Window& window(int slot) const { return windows_[slot]; }
  // Slots from the top of the desktop's stacking order to the bottom.
  const std::vector<int>& stacking() const { return stacking_; }
  bool cursor_shown() const { return cursor_shown_; }
  int cursor_shape() const { return cursor_shape_; }
  // The pop-up menus shown, with where.
  struct Popup {
    MenuList items;
    int x = 0, y = 0;
  };
  const std::vector<Popup>& popups() const { return popups_; }
  // The last preview run: its parent and picture.
  struct Preview {
    uint64_t parent = 0;
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
  };
  const Preview& last_preview() const { return preview_; }

 private:
  Window* get(int slot) { return windows_.get(slot); }
  void restack(int slot, ZOrder z);

  DesktopSize desktop_;
  WindowSlots<Window> windows_;
  std::vector<int> stacking_;
  std::deque<std::function<void(WindowEvents&)>> pending_;
  bool fullscreen_ = false;
  int cursor_x_ = 0;
  int cursor_y_ = 0;
  bool cursor_shown_ = true;
  int cursor_shape_ = 0;
  std::vector<Popup> popups_;
  Preview preview_;
  // The desktop has no user to click elsewhere: the main window is active
  // while it is shown.
  void note_main_shown(int slot, bool shown);
};

std::unique_ptr<Display> make_headless_display(DesktopSize desktop);

}  // namespace nv::platform
