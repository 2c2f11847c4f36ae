// What both display backends keep for each of the four window slots: the
// spec the engine gave, the picture the client area shows and the drag
// test; the slot lookup and the client-area operations are written once
// here.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/display.h"

namespace nv::platform {

struct ClientArea {
  WindowSpec spec;
  std::vector<uint32_t> client;  // spec.client_width x spec.client_height, top-down BGRA
  std::function<bool(int, int)> drag_test;
};

// Makes the picture black at the window's client size (`spec`).
void clear_client(ClientArea& w);

// Copies a `width` x `height` canvas into the picture with its top-left
// corner at (x, y), clipped to the client area.
void paste_into_client(ClientArea& w, const uint32_t* pixels, int width, int height, int x, int y);

// The picture and its size; empty and 0 x 0 without a window.
std::vector<uint32_t> client_copy(const ClientArea* w, int& width, int& height);

// The four slots of a backend. W derives from ClientArea and tells whether
// its window is made (`bool open() const`).
template <class W>
class WindowSlots {
 public:
  // The window of `slot`, or nullptr for a slot outside 0..3 or without one.
  W* get(int slot) {
    if (slot < 0 || slot >= kWindowSlots || !slots_[static_cast<size_t>(slot)].open()) return nullptr;
    return &slots_[static_cast<size_t>(slot)];
  }
  const W* get(int slot) const { return const_cast<WindowSlots*>(this)->get(slot); }
  bool valid(int slot) const { return slot >= 0 && slot < kWindowSlots; }
  W& operator[](int slot) { return slots_[static_cast<size_t>(slot)]; }
  const W& operator[](int slot) const { return slots_[static_cast<size_t>(slot)]; }
  auto begin() { return slots_.begin(); }
  auto end() { return slots_.end(); }

 private:
  std::array<W, kWindowSlots> slots_{};
};

}  // namespace nv::platform
