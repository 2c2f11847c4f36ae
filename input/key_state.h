// The key state table scripts read: 256 slots indexed by virtual-key code,
// each a small machine run once per frame on the raw state sampled for it.
// Slot 0 is "any key"; slots 1, 2 and 4 are the mouse buttons, 5 and 6 the
// wheel turned up and down, 7 the mouse moved.
//
// Counter: n > 0 held for n frames (1 on the frame of the press), n < 0
// released for -n frames (-1 on the frame of the release). The press count
// grows by one with every press.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "display/raw_input.h"

namespace nv::input {


enum KeySlotIndex : int {
  kAnyKeySlot = 0,
  kLeftButtonSlot = 1,
  kRightButtonSlot = 2,
  kMiddleButtonSlot = 4,
  kWheelUpSlot = 5,
  kWheelDownSlot = 6,
  kMouseMovedSlot = 7,
};

enum KeyMachineState : uint8_t { kKeyUp = 0, kKeyDown = 2 };

struct KeySlot {
  uint8_t raw = 0;        // this frame's sampled state; bit 7 = down
  uint8_t state = kKeyUp;
  int64_t counter = 0;
  int64_t presses = 0;
};

using KeySlots = std::array<KeySlot, display::kKeySlots>;

// The keyboard keys sampled every frame, in sampling order.
constexpr int kScannedKeyCount = 117;
extern const std::array<uint8_t, kScannedKeyCount> kScannedKeys;

// One step of a slot's machine with `pressed` as this frame's raw state.
void run_key_machine(KeySlot& slot, bool pressed);

inline bool key_held(const KeySlot& s) { return s.state == kKeyDown; }

// Input switches of INPUT.
struct InputSwitches {
  bool keyboard = true;
  bool pad = true;
  bool mouse = true;
};

enum class CursorRequest : uint8_t { none = 0, show = 1, hide = 2 };

// The mouse cursor as MOUSE controls it.
struct CursorState {
  int mode = 2;               // 0 hidden, 1 auto-hide, 2 shown
  int64_t delay_ms = 3000;    // auto-hide delay
  bool wake_move = true;      // the auto-hide wake switches
  bool wake_click = true;
  bool wake_wheel = true;
  bool shown = true;
  CursorRequest request = CursorRequest::none;
  bool auto_hide_running = false;
  int64_t auto_hide_start_ms = 0;
};

struct KeyState {
  KeySlots slots{};
  InputSwitches switches;
  CursorState cursor;
};

// The per-frame input step: the mouse slots (when mouse input is on and a
// window is active), the scanned keys and slot 0 (when keyboard input is
// on), then cursor auto-hide at time `now_ms`. A cursor show or hide it
// decides is left in `cursor.request` for the caller to apply.
void step_key_state(KeyState& ks, const display::RawSample& raw, int64_t now_ms);

// The mouse part alone (slots 1 to 7).
void step_mouse_slots(KeySlots& slots, const display::RawSample& raw);

// The keyboard part alone (the scanned keys and slot 0).
void step_keyboard_slots(KeySlots& slots, const std::array<uint8_t, display::kKeySlots>& raw);

// Cursor auto-hide for one frame (cursor mode 1).
void step_auto_hide(CursorState& c, const KeySlots& slots, bool pointer_outside, int64_t now_ms);

}  // namespace nv::input
