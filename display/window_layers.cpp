#include "display/window_layers.h"

#include "core/engine.h"
#include "core/error_report.h"
#include "display/window_create.h"
#include "display/window_shape.h"
#include "display/windows_state.h"
#include "graphics/graphics_state.h"

namespace nv::display {

namespace {

constexpr std::string_view kWindow = "WINDOW";

// The plain layer `id` names, or nullptr after a report (101250 when it
// is missing).
gfx::LayerNode* find_plain_layer(Engine& e, std::string_view id, NodePath& path) {
  if (!gfx::resolve_layer_path(e, id, path)) return nullptr;
  bool missing_set = false;
  gfx::LayerNode* node = path.is_set ? nullptr : gfx::find_layer(e, path, true, &missing_set);
  if (missing_set) return nullptr;
  if (!node || !node->layer) {
    report(e, 101250, {kWindow, id});
    return nullptr;
  }
  return node;
}

bool shown_by_another_window(const Engine& e, int slot, const gfx::LayerNode* set) {
  for (int s = 0; s < kWindowCount; ++s)
    if (s != slot && e.graphics.windows[static_cast<size_t>(s)].set == set) return true;
  return false;
}

}  // namespace

int show_layer_set(Engine& e, int slot, std::string_view id) {
  NodePath path;
  if (!gfx::resolve_layer_path(e, id, path)) return -1;
  path.is_set = true;  // CGID always names a set, with or without the trailing "/"
  bool missing_set = false;
  auto* set = static_cast<gfx::LayerNode*>(gfx::find_layer(e, path, true, &missing_set));
  if (missing_set) return -1;
  if (!set || !set->layer) return report(e, 101250, {kWindow, id});
  gfx::WindowView& view = e.graphics.windows[static_cast<size_t>(slot)];
  // The mark stays on a set another window still shows.
  if (view.set && view.set != set && view.set->layer && !shown_by_another_window(e, slot, view.set))
    view.set->layer->shown_by_window = false;
  view.set = set;
  set->layer->shown_by_window = true;
  mark_window_redraw(e, slot);
  return 0;
}

int shape_window(Engine& e, int slot, std::string_view id) {
  NodePath path;
  gfx::LayerNode* node = find_plain_layer(e, id, path);
  if (!node) return -1;
  const gfx::Layer& l = *node->layer;
  auto rects = shape_rects(l.pixels.data(), l.sx, l.sy);
  // More rectangles than a shape may have: the window keeps its shape and
  // the command ends.
  if (!rects) return -1;
  if (!e.platform.display->set_shape(slot, *rects)) return 0;
  e.windows.at(slot).shaped = true;
  return 0;
}

int set_drag_layer(Engine& e, int slot, std::string_view id) {
  NodePath path;
  if (!find_plain_layer(e, id, path)) return -1;
  e.windows.at(slot).drag_layer = path.path;
  // The layer is looked up again at every press, so a drag layer released
  // later simply stops dragging.
  e.platform.display->set_drag_test(slot, [&e, slot](int x, int y) { return drag_layer_hit(e, slot, x, y); });
  return 0;
}

bool drag_layer_hit(Engine& e, int slot, int x, int y) {
  const WindowRecord& r = e.windows.at(slot);
  if (r.drag_layer.empty() || x < 0 || y < 0) return false;
  NodePath path{r.drag_layer, false};
  gfx::LayerNode* node = gfx::find_layer(e, path, false);
  if (!node || !node->layer) return false;
  int64_t lx = 0, ly = 0;
  gfx::absolute_layer_position(*node, lx, ly);
  const gfx::Layer& l = *node->layer;
  const int64_t px = x - lx, py = y - ly;
  if (px < 0 || py < 0 || px >= l.sx || py >= l.sy) return false;
  const uint32_t pixel = l.pixels[size_t(py) * size_t(l.sx) + size_t(px)];
  if ((pixel & 0x00FFFFFFu) == 0) return false;
  WindowFlags& f = e.windows.flags;
  f.drag_window = slot + 1;
  f.drag_x = x;
  f.drag_y = y;
  return true;
}

}  // namespace nv::display
