#include "input/key_state.h"

namespace nv::input {

namespace {

constexpr std::array<uint8_t, kScannedKeyCount> make_scanned_keys() {
  std::array<uint8_t, kScannedKeyCount> keys{};
  size_t n = 0;
  auto range = [&](int from, int to) {
    for (int k = from; k <= to; ++k) keys[n++] = static_cast<uint8_t>(k);
  };
  range(8, 9);
  range(13, 13);
  range(16, 19);
  range(27, 27);
  range(32, 40);
  range(44, 57);
  range(65, 90);
  range(96, 135);
  range(144, 145);
  range(160, 165);
  range(186, 192);
  range(219, 222);
  range(226, 226);
  return keys;
}

bool down(uint8_t raw) { return (raw & display::kRawDown) != 0; }

}  // namespace

const std::array<uint8_t, kScannedKeyCount> kScannedKeys = make_scanned_keys();

void run_key_machine(KeySlot& s, bool pressed) {
  if (s.state == kKeyUp) {
    if (pressed) {
      s.counter = 1;
      ++s.presses;
      s.state = kKeyDown;
    } else {
      --s.counter;
    }
  } else {
    if (pressed) {
      ++s.counter;
    } else {
      s.counter = -1;
      s.state = kKeyUp;
    }
  }
}

void step_mouse_slots(KeySlots& slots, const display::RawSample& raw) {
  for (int k = kLeftButtonSlot; k <= kMouseMovedSlot; ++k) slots[size_t(k)].raw = raw.keys[size_t(k)];
  if (raw.pointer_outside) {
    // Outside the window a press does not count; a button already held
    // stays held until it is released.
    for (int k : {kLeftButtonSlot, kRightButtonSlot})
      if (!key_held(slots[size_t(k)])) slots[size_t(k)].raw = 0;
    for (int k = kMiddleButtonSlot; k <= kMouseMovedSlot; ++k)
      slots[size_t(k)].raw = key_held(slots[size_t(k)]) ? display::kRawDown : 0;
  } else {
    slots[kWheelUpSlot].raw = raw.wheel > 0 ? display::kRawDown : 0;
    slots[kWheelDownSlot].raw = raw.wheel < 0 ? display::kRawDown : 0;
    slots[kMouseMovedSlot].raw = raw.moved ? display::kRawDown : 0;
  }
  for (int k = kLeftButtonSlot; k <= kMouseMovedSlot; ++k) run_key_machine(slots[size_t(k)], down(slots[size_t(k)].raw));
}

void step_keyboard_slots(KeySlots& slots, const std::array<uint8_t, display::kKeySlots>& raw) {
  bool any = false;
  for (uint8_t vk : kScannedKeys) {
    KeySlot& s = slots[vk];
    s.raw = raw[vk];
    const bool pressed = down(s.raw);
    any = any || pressed;
    run_key_machine(s, pressed);
  }
  slots[kAnyKeySlot].raw = any ? display::kRawDown : 0;
  run_key_machine(slots[kAnyKeySlot], any);
}

void step_auto_hide(CursorState& c, const KeySlots& slots, bool pointer_outside, int64_t now_ms) {
  if (c.mode != 1) return;
  if (!c.auto_hide_running && key_held(slots[kAnyKeySlot])) {
    c.auto_hide_running = true;
    c.auto_hide_start_ms = now_ms;
  }
  if (!c.auto_hide_running) return;
  if (now_ms > c.auto_hide_start_ms + c.delay_ms && c.shown) {
    c.request = CursorRequest::hide;
    c.shown = false;
  }
  const bool wake = pointer_outside || (c.wake_move && key_held(slots[kMouseMovedSlot])) ||
                    (c.wake_click && (key_held(slots[kLeftButtonSlot]) || key_held(slots[kRightButtonSlot]) ||
                                      key_held(slots[kMiddleButtonSlot]))) ||
                    (c.wake_wheel && (key_held(slots[kWheelUpSlot]) || key_held(slots[kWheelDownSlot])));
  if (wake) {
    c.auto_hide_running = false;
    if (!c.shown) {
      c.request = CursorRequest::show;
      c.shown = true;
    }
  }
}

void step_key_state(KeyState& ks, const display::RawSample& raw, int64_t now_ms) {
  if (ks.switches.mouse && raw.window_active) step_mouse_slots(ks.slots, raw);
  if (ks.switches.keyboard) step_keyboard_slots(ks.slots, raw.keys);
  step_auto_hide(ks.cursor, ks.slots, raw.pointer_outside, now_ms);
}

}  // namespace nv::input
