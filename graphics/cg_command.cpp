// CG: creates layers and sets, loads images into them and changes their
// attributes, in a fixed order of steps; CGEND releases them.
#include <algorithm>
#include <cstring>
#include <string>

#include "core/assign_kind.h"
#include "core/engine.h"
#include "core/error_report.h"
#include "formats/command_table.h"
#include "formats/sjis_text.h"
#include "graphics/compose.h"
#include "graphics/graphics_state.h"
#include "graphics/layer_alloc.h"
#include "graphics/layer_commands.h"
#include "platform/encoding.h"
#include "runtime/arg_eval.h"
#include "runtime/arg_slots.h"

namespace nv::gfx {

namespace {

constexpr std::string_view kCg = "CG";
const char* const kMaskSizeText = "レイヤ画像とマスクレイヤ画像のサイズが異なります。";

std::string_view text_of(const ArgSlots& a, int kw) { return a.has(kw) ? a.at(kw).text_view() : std::string_view(); }

// The plain layer (or set) another keyword names: `found` is null when the
// last component does not exist. False after a report.
bool find_named(Engine& e, std::string_view id, LayerNode*& found) {
  found = nullptr;
  NodePath p;
  if (!resolve_layer_path(e, id, p)) return false;
  bool missing_set = false;
  found = find_layer(e, p, true, &missing_set);
  return !missing_set;
}

int load_into(Engine& e, LayerNode& node, std::string_view file) {
  DecodedImage img;
  if (load_image(e, file, img, kCg) != 0) return -1;
  Layer& l = *node.layer;
  l.sx = img.width;
  l.sy = img.height;
  l.pixels = std::move(img.pixels);
  l.alpha = img.alpha;
  l.frames = std::move(img.frames);
  e.graphics.last_load_ms = img.loaded_at_ms;
  return 0;
}

// The mask's blue bytes become the layer's alpha bytes.
int apply_mask(Engine& e, Layer& l, const Layer& mask) {
  if (mask.sx != l.sx || mask.sy != l.sy) {
    show_layer_box(e, platform::utf8_to_sjis(kMaskSizeText));
    return -1;
  }
  const size_t n = std::min(l.pixels.size(), mask.pixels.size());
  for (size_t i = 0; i < n; ++i) l.pixels[i] = (l.pixels[i] & 0x00FFFFFFu) | (mask.pixels[i] & 0xFFu) << 24;
  l.alpha = true;
  return 0;
}

// The loaded image's top-left part on a canvas of sx x sy opaque black.
int reframe(Engine& e, Layer& l, int32_t sx, int32_t sy, std::string_view file) {
  std::vector<uint32_t> canvas;
  if (!allocate_pixels(e, canvas, sx, sy, 0xFF000000u, file)) return -1;
  const int32_t w = std::min(sx, l.sx), h = std::min(sy, l.sy);
  for (int32_t y = 0; y < h; ++y)
    std::memcpy(canvas.data() + size_t(y) * size_t(sx), l.pixels.data() + size_t(y) * size_t(l.sx),
                size_t(w) * 4);
  l.pixels.swap(canvas);
  l.sx = sx;
  l.sy = sy;
  return 0;
}

// A set's new size: a cleared canvas, recomposed at once.
int resize_set(Engine& e, LayerNode& node, int32_t sx, int32_t sy) {
  Layer& l = *node.layer;
  mark_layer_dirty(node);
  if (!allocate_canvas(e, l, sx, sy, 0u, "")) return -1;
  l.dirty.bounds.right = sx - 1;
  l.dirty.bounds.bottom = sy - 1;
  l.dirty.full_redraw = true;
  mark_set_dirty(node);
  return compose_set(e, node, node.parent != &e.graphics.layers.root);
}

}  // namespace

int cg_command(Engine& e) {
  namespace K = kw::CG;
  if (evaluate_arguments(e) != 0) return -1;
  const ArgSlots& a = e.args;
  const std::string id(text_of(a, K::ID));
  NodePath path;
  if (!resolve_layer_path(e, id, path)) return -1;
  bool missing_set = false;
  LayerNode* node = find_layer(e, path, true, &missing_set);
  if (missing_set) return -1;

  bool changed = false;
  const bool has_z = a.has(K::Z);
  int64_t z = 1;
  if (has_z) {
    z = apply_kind_z(node ? node->z : 1, a.at(K::Z).value, a.at(K::Z).assign_op);
    if (node) {
      set_layer_z(*node, z);
      changed = true;
    }
  }

  const bool has_file = a.has(K::FILE), has_rid = a.has(K::RID);
  if (!node) {
    if (path.is_set) {
      if (has_file || has_rid) return report(e, 101280, {kCg});
      if (!a.has(K::SX) || !a.has(K::SY) || !has_z) return 0;
      node = create_layer_set(e, path, int32_t(a.at(K::SX).value), int32_t(a.at(K::SY).value), z);
      if (!node) return -1;
    } else {
      if (!has_file && !has_rid) {
        if (e.errors.switches[kErrorSwitchCg]) return report(e, 101230, {kCg, id});
        return 0;
      }
      if (!has_z) return report(e, 100240, {kCg});
      LayerNode* shown = nullptr;
      if (has_rid) {
        NodePath rp;
        if (!resolve_layer_path(e, text_of(a, K::RID), rp)) return -1;
        rp.is_set = false;
        bool rid_missing_set = false;
        shown = find_layer(e, rp, true, &rid_missing_set);
        if (rid_missing_set) return -1;
        if (!shown || !shown->layer) return report(e, 101250, {kCg, text_of(a, K::RID)});
      }
      node = create_layer_node(e, path, z);
      if (!node) return -1;
      if (shown) share_layer(*node, *shown);
      else give_fresh_layer(*node);
    }
    changed = true;
  }
  if (!node->layer) give_fresh_layer(*node);
  Layer& l = *node->layer;

  if (has_file) {
    if (node->is_set) return report(e, 101280, {kCg});
    mark_layer_dirty(*node);
    if (load_into(e, *node, text_of(a, K::FILE)) != 0) return -1;
    changed = true;
  }

  if (a.has(K::MID)) {
    LayerNode* mask = nullptr;
    if (!find_named(e, text_of(a, K::MID), mask)) return -1;
    if (mask && mask->layer) {
      if (apply_mask(e, l, *mask->layer) != 0) return -1;
      changed = true;
    }
  }

  if (a.has(K::TID)) {
    l.tid = std::string(sjis::prefix_fitting(text_of(a, K::TID), kMaxTidBytes));
    changed = true;
  }

  if (a.has(K::E)) {
    l.visible = a.at(K::E).value;
    changed = true;
  }
  if (a.has(K::A)) {
    l.opacity = apply_kind_0_256(l.opacity, a.at(K::A).value, a.at(K::A).assign_op);
    changed = true;
  }
  for (int k : {int(K::X), int(K::Y)}) {
    if (!a.has(k)) continue;
    int64_t& field = k == K::X ? l.x : l.y;
    const int64_t v = apply_kind(field, a.at(k).value, a.at(k).assign_op);
    if (v != field) {
      if (node->is_set) mark_set_dirty(*node);
      else mark_layer_dirty(*node);
      field = v;
    }
    changed = true;
  }

  const bool has_sx = a.has(K::SX), has_sy = a.has(K::SY);
  if (node->is_set && (has_sx || has_sy)) {
    const int32_t sx = has_sx ? int32_t(a.at(K::SX).value) : l.sx;
    const int32_t sy = has_sy ? int32_t(a.at(K::SY).value) : l.sy;
    if (resize_set(e, *node, sx, sy) != 0) return -1;
    changed = true;
  } else if (!node->is_set && (has_sx || has_sy)) {
    if (!has_file) return report(e, 100244, {kCg});
    if (!has_sx || !has_sy) return report(e, 100243, {kCg});
    if (reframe(e, l, int32_t(a.at(K::SX).value), int32_t(a.at(K::SY).value), text_of(a, K::FILE)) != 0)
      return -1;
  }

  if (a.has(K::T)) {
    l.threshold = apply_kind_0_256(l.threshold, a.at(K::T).value, a.at(K::T).assign_op);
    changed = true;
  }
  if (a.has(K::TA)) {
    l.softness = a.at(K::TA).value;
    changed = true;
  }
  if (a.has(K::MODE)) {
    l.mode = a.at(K::MODE).value;
    changed = true;
  }

  if (changed) {
    e.graphics.screen_changed = true;
    mark_layer_dirty(*node);
  }
  return 0;
}

int cgend_command(Engine& e) {
  namespace K = kw::CGEND;
  if (evaluate_arguments(e) != 0) return -1;
  NodePath path;
  if (!resolve_layer_path(e, text_of(e.args, K::ID), path)) return -1;
  LayerNode* node = find_layer(e, path, false);
  if (!node || !node->layer) return 0;
  mark_layer_dirty(*node);
  e.graphics.screen_changed = true;
  release_layer_node(e, *node);
  return 0;
}

}  // namespace nv::gfx
