// The four window slots (0 is the main window) as the engine keeps them,
// and the flags the window event handling writes for the scripts and the
// input sampling to read. The set a window shows, its mouse position and
// client size live in the graphics state's window views, where the layer
// code reads them.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "display/raw_input.h"
#include "platform/display.h"

namespace nv {
struct Engine;
}  // namespace nv

namespace nv::display {

constexpr int kWindowCount = platform::kWindowSlots;
constexpr size_t kCaptionLimit = 262;  // bytes of a window caption
constexpr int kSubWindowDefaultSize = 128;

// The system variables the window requests are read and cleared through
// (held values, assignable by the scripts).
constexpr size_t kMaximizeRequestVar = 65;  // window number + 1
constexpr size_t kMinimizeRequestVar = 66;
constexpr size_t kCloseRequestVar = 67;

struct WindowRecord {
  int32_t number = 0;
  bool exists = false;      // the existence mark: a window is created for the slot
  bool visible = false;     // the desktop shows it (not hidden, not minimised by MINIMIZE)
  int32_t x = 0, y = 0;     // outer position on the desktop
  int32_t sx = kSubWindowDefaultSize, sy = kSubWindowDefaultSize;  // client size
  int32_t alpha = 0;        // `A` and `E`: the window is shown only when both
  uint8_t enabled = 0;      // are at least 1
  bool class_registered = false;
  uint8_t close_mode = 0;   // 0 ask the script, 1 ask the user, 2 quit, 3 close the window only
  uint8_t max_mode = 0;     // stored only
  uint8_t min_mode = 0;     // non-zero: the window minimises itself
  std::string caption;      // Shift-JIS
  std::string class_name;
  std::string menu_path;
  platform::Rect source;    // (0, 0, SX, SY): what presentation copies after a resize
  bool active = false;
  std::string drag_layer;   // normalised path of the drag layer ("" none)
  bool drawn = false;       // the client area shows a canvas (cleared when blanked)
  bool composed = false;    // the set was recomposed since the window last got it
  bool shaped = false;
};

// Flags the window event handling sets; other parts read and clear them.
struct WindowFlags {
  int64_t menu_command = 0;  // id of the menu item chosen last (0 none)
  uint8_t mouse_buttons = 0;  // 1 left, 2 right, 4 middle, 128 moved
  int32_t wheel = 0;
  int32_t last_key = 0;
  int32_t drag_window = 0;    // window number + 1 of a drag to start; 0 none
  int32_t drag_x = 0, drag_y = 0;
  bool quit = false;          // the engine is quitting (closing the main window ends it)
};

struct WindowsState {
  std::array<WindowRecord, kWindowCount> w{};
  WindowFlags flags;
  bool fullscreen = false;
  int32_t fullscreen_width = 0, fullscreen_height = 0;  // the target size of full screen
  bool screen_saver = false;      // the title runs as a screen saver
  bool screen_saver_block = true; // SYSTEM SCREENSAVER: block the desktop's screen saver
  std::string main_class;         // class name of the main window
  // The keys, buttons, wheel and moves the window events noted, shared with
  // the frame step's input sampling.
  RawInput raw;
  // Builds and attaches a window's menu bar from a menu path (WINDOW
  // MENUID); installed by the top, where the menus are known. Returns 0 or
  // -1 after a report.
  int (*attach_menu_bar)(Engine& e, int slot, std::string_view path) = nullptr;

  WindowsState() {
    for (int n = 0; n < kWindowCount; ++n) {
      w[static_cast<size_t>(n)].number = n;
    }
  }
  WindowRecord& at(int n) { return w[static_cast<size_t>(n)]; }
};

}  // namespace nv::display
