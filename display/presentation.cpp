#include "display/presentation.h"

#include <algorithm>

#include "core/engine.h"
#include "display/windows_state.h"
#include "graphics/compose.h"
#include "graphics/frame_pacing.h"
#include "graphics/graphics_state.h"

namespace nv::display {

namespace {

// The set window `slot` presents, when it is to be drawn at all: the
// window exists and is shown, and its set exists and is visible.
gfx::LayerNode* drawn_set(Engine& e, int slot) {
  const WindowRecord& r = e.windows.at(slot);
  if (!r.exists || !r.visible) return nullptr;
  gfx::LayerNode* set = e.graphics.windows[static_cast<size_t>(slot)].set;
  if (!set || !set->layer || set->layer->visible == 0) return nullptr;
  return set;
}

}  // namespace

int compose_window(Engine& e, int slot) {
  gfx::LayerNode* set = drawn_set(e, slot);
  if (!set) return 0;
  WindowRecord& r = e.windows.at(slot);
  // A window that was black (hidden, or its set hidden) gets the whole
  // picture back.
  if (!r.drawn) {
    set->layer->dirty.full_redraw = true;
    gfx::mark_set_dirty(*set);
  }
  r.drawn = true;
  if (!set->layer->dirty.recompose) return 0;
  // Composing clears the set's recompose flag; the window remembers that
  // it has a new picture to copy.
  r.composed = true;
  return gfx::compose_set(e, *set);
}

void present_window(Engine& e, int slot) {
  WindowRecord& r = e.windows.at(slot);
  platform::Display& d = *e.platform.display;
  gfx::LayerNode* set = drawn_set(e, slot);
  if (!set) {
    // Black once when the window stops showing a canvas.
    if (r.drawn && r.exists) d.blank(slot);
    r.drawn = false;
    return;
  }
  const gfx::Layer& l = *set->layer;
  if (!r.composed) return;
  r.composed = false;
  r.drawn = true;
  // In full screen with stretching the backend scales the client area to
  // the screen; the canvas then fills the client area from its corner.
  const bool stretched = slot == 0 && e.windows.fullscreen && e.user_settings.stretch_fullscreen;
  // Positions far outside any client area are drawn nowhere either way.
  constexpr int64_t kFar = int64_t(1) << 30;
  const int x = stretched ? 0 : static_cast<int>(std::clamp<int64_t>(l.x, -kFar, kFar));
  const int y = stretched ? 0 : static_cast<int>(std::clamp<int64_t>(l.y, -kFar, kFar));
  d.present(slot, l.pixels.data(), l.sx, l.sy, x, y);
}

int compose_frame(Engine& e) {
  for (int s = 0; s < kWindowCount; ++s)
    if (compose_window(e, s) != 0) return -1;
  return 0;
}

void present_frame(Engine& e) {
  for (int s = 0; s < kWindowCount; ++s) present_window(e, s);
  ++e.pacing.drawn;
  gfx::reset_dirty_tree(e);
  e.graphics.screen_changed = false;
}

}  // namespace nv::display
