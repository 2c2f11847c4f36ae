// CGINFO: one attribute or pixel of a layer into the LET variable.
#include <algorithm>

#include "core/engine.h"
#include "core/error_report.h"
#include "formats/command_table.h"
#include "graphics/graphics_state.h"
#include "graphics/layer_commands.h"
#include "graphics/layer_tree.h"
#include "runtime/arg_eval.h"
#include "runtime/arg_slots.h"
#include "runtime/output_target.h"

namespace nv::gfx {

namespace {

constexpr int64_t kNone = -1;

// The pixel at x, y of the layer's own image, or nullptr outside it.
const uint32_t* pixel_at(const Layer& l, int64_t x, int64_t y) {
  if (x < 0 || y < 0 || x >= l.sx || y >= l.sy) return nullptr;
  const size_t i = size_t(y) * size_t(l.sx) + size_t(x);
  return i < l.pixels.size() ? &l.pixels[i] : nullptr;
}

int64_t colour_of(uint32_t p) { return int64_t(p & 0x00FFFFFFu); }

enum class MouseAnswer { colour, alpha, pixel };

// ONMOUSE, ONMOUSE2, ONMOUSE3: the pixel under a window's mouse position.
int64_t under_mouse(Engine& e, const LayerNode& node, int keyword, MouseAnswer answer) {
  namespace K = kw::CGINFO;
  const ArgSlots& a = e.args;
  const WindowView& w = e.graphics.windows[size_t(std::clamp<int64_t>(a.at(keyword).value, 0, kWindowSlots - 1))];
  const int64_t mx = a.has(K::SET) ? a.at(K::SET).value : w.mouse_x;
  const int64_t my = a.has(K::SET2) ? a.at(K::SET2).value : w.mouse_y;
  if (mx < 0 || my < 0 || mx >= w.client_width || my >= w.client_height) return kNone;
  int64_t ax = 0, ay = 0;
  absolute_layer_position(node, ax, ay);
  const uint32_t* p = pixel_at(*node.layer, mx - ax, my - ay);
  if (!p) return kNone;
  switch (answer) {
    case MouseAnswer::alpha: return int64_t(*p >> 24);
    case MouseAnswer::pixel: return int64_t(int32_t(*p));
    default: return colour_of(*p);
  }
}

// TRIM: an edge of the box around the pixels whose alpha is not zero.
int64_t trim_edge(const Layer& l, int64_t edge) {
  int64_t top = -1, bottom = -1, left = -1, right = -1;
  for (int64_t y = 0; y < l.sy; ++y) {
    for (int64_t x = 0; x < l.sx; ++x) {
      const uint32_t* p = pixel_at(l, x, y);
      if (!p || (*p >> 24) == 0) continue;
      if (top < 0) top = y;
      bottom = y;
      if (left < 0 || x < left) left = x;
      if (x > right) right = x;
    }
  }
  if (top < 0) return kNone;
  switch (edge) {
    case 1: return top;
    case 2: return bottom;
    case 3: return left;
    case 4: return right;
    default: return 0;
  }
}

}  // namespace

int cginfo_command(Engine& e) {
  namespace K = kw::CGINFO;
  if (evaluate_arguments(e) != 0) return -1;
  const ArgSlots& a = e.args;
  const std::string_view id = a.has(K::ID) ? a.at(K::ID).text_view() : std::string_view();
  NodePath path;
  if (!resolve_layer_path(e, id, path)) return -1;
  bool missing_set = false;
  LayerNode* node = find_layer(e, path, true, &missing_set);
  if (missing_set) return -1;
  const OutputTarget out = output_target(e, K::LET);
  if (!node || !node->layer) return store_zero(e, out);
  const Layer& l = *node->layer;

  if (a.has(K::EXIST)) return store_int(e, out, 1);
  if (a.has(K::E)) return store_int(e, out, l.visible);
  if (a.has(K::A)) return store_int(e, out, l.opacity);
  if (a.has(K::T)) return store_int(e, out, l.threshold);
  if (a.has(K::TID)) return store_text(e, out, l.tid);
  if (a.has(K::TA)) return store_int(e, out, l.softness);
  if (a.has(K::X)) return store_int(e, out, l.x);
  if (a.has(K::Y)) return store_int(e, out, l.y);
  if (a.has(K::Z)) return store_int(e, out, node->z);
  if (a.has(K::MODE)) return store_int(e, out, l.mode);
  if (a.has(K::SX)) return store_int(e, out, l.sx);
  if (a.has(K::SY)) return store_int(e, out, l.sy);
  if (a.has(K::ONMOUSE)) return store_int(e, out, under_mouse(e, *node, K::ONMOUSE, MouseAnswer::colour));
  if (a.has(K::ONMOUSE2)) return store_int(e, out, under_mouse(e, *node, K::ONMOUSE2, MouseAnswer::alpha));
  if (a.has(K::ONMOUSE3)) return store_int(e, out, under_mouse(e, *node, K::ONMOUSE3, MouseAnswer::pixel));
  if (a.has(K::COLOR)) {
    if (!a.has(K::SET) || !a.has(K::SET2)) return report(e, 101295, {"CGINFO", "COLOR"});
    const uint32_t* p = pixel_at(l, a.at(K::SET).value, a.at(K::SET2).value);
    return store_int(e, out, p ? colour_of(*p) : kNone);
  }
  if (a.has(K::TRIM)) return store_int(e, out, trim_edge(l, a.value(K::SET)));
  return store_int(e, out, 0);
}

}  // namespace nv::gfx
