#include "display/raw_input.h"

#include <climits>

namespace nv::display {

void RawInput::note_key(int vk, bool down) {
  if (vk <= 0 || vk >= kKeySlots) return;
  std::lock_guard<std::mutex> g(m_);
  if (down && !active_) return;  // keys reach only an active window
  down_[size_t(vk)] = down ? kRawDown : 0;
  if (down) pressed_[size_t(vk)] = kRawDown;
}

void RawInput::note_wheel(int delta) {
  std::lock_guard<std::mutex> g(m_);
  const long long sum = static_cast<long long>(wheel_) + delta;
  wheel_ = sum > INT_MAX ? INT_MAX : sum < INT_MIN ? INT_MIN : static_cast<int>(sum);
}

void RawInput::note_moved() {
  std::lock_guard<std::mutex> g(m_);
  moved_ = true;
}

void RawInput::note_focus(bool window_active, bool pointer_outside) {
  std::lock_guard<std::mutex> g(m_);
  if (!window_active) {
    // Key releases made while no engine window is active never arrive.
    down_.fill(0);
    pressed_.fill(0);
  }
  active_ = window_active;
  outside_ = pointer_outside;
}

RawSample RawInput::take() {
  RawSample s;
  std::lock_guard<std::mutex> g(m_);
  s.window_active = active_;
  s.pointer_outside = outside_;
  if (active_) {
    for (size_t k = 0; k < s.keys.size(); ++k) s.keys[k] = down_[k] | pressed_[k];
    auto either = [&](size_t generic, size_t left, size_t right) { s.keys[generic] |= s.keys[left] | s.keys[right]; };
    either(16, 160, 161);
    either(17, 162, 163);
    either(18, 164, 165);
    s.wheel = wheel_;
    s.moved = moved_;
  }
  pressed_.fill(0);
  wheel_ = 0;
  moved_ = false;
  return s;
}

}  // namespace nv::display
