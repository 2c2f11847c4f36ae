// The raw input between the thread that owns the windows and the frame
// step: the window events are noted here as they arrive, and the frame step
// takes one sample of them per frame. Both sides lock, so a sample is never
// half old and half new, and a wheel notch or a move noted while a sample
// is taken belongs to exactly one frame.
//
// A key pressed and released again between two samples reads as down in
// the next sample, so a tap shorter than a frame still counts as a press.
#pragma once

#include <array>
#include <cstdint>
#include <mutex>


namespace nv::display {

constexpr int kKeySlots = 256;  // one per virtual-key code
constexpr uint8_t kRawDown = 0x80;

// What the main loop sampled for one frame step.
struct RawSample {
  std::array<uint8_t, kKeySlots> keys{};  // bit 7 = down (taps since the last sample included)
  int wheel = 0;                          // delta since the last sample, 120 per notch, up positive
  bool moved = false;                     // the mouse moved over an engine window
  bool window_active = false;             // an engine window is active
  bool pointer_outside = true;            // the pointer lies outside the active window's client area
};

class RawInput {
 public:
  // A key (or mouse button 1, 2, 4 as its virtual key) went down or up.
  void note_key(int vk, bool down);
  // The wheel turned (120 per notch, up positive).
  void note_wheel(int delta);
  // The mouse moved over an engine window.
  void note_moved();
  // Whether an engine window is active and whether the pointer lies
  // outside its client area. With no active window every key reads as
  // released and stays so until it is pressed again.
  void note_focus(bool window_active, bool pointer_outside);

  // This frame's sample: the keys down now or pressed since the last sample
  // (the generic SHIFT, CONTROL and ALT follow their left and right keys),
  // the wheel turned and the moved mark since then. Clears what it took.
  RawSample take();

 private:
  std::mutex m_;
  std::array<uint8_t, kKeySlots> down_{};
  std::array<uint8_t, kKeySlots> pressed_{};  // went down since the last sample
  int wheel_ = 0;
  bool moved_ = false;
  bool active_ = false;
  bool outside_ = true;
};

}  // namespace nv::display
