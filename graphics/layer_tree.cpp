#include "graphics/layer_tree.h"

#include <algorithm>
#include <limits>
#include <new>

#include "core/engine.h"
#include "core/error_report.h"
#include "graphics/graphics_state.h"
#include "graphics/layer_alloc.h"

namespace nv::gfx {

namespace {

// Frees the children of `node` depth first (the node itself stays).
void free_children(LayerNode& node) {
  while (LayerNode* c = node.last_child()) {
    free_children(*c);
    detach_node(*c);
    delete c;
  }
}

LayerNode* make_node(Engine& e, const NodePath& p, bool is_set, int64_t z) {
  TreeNode* parent = find_parent_set(e, e.graphics.layers.root, p);
  if (!parent) return nullptr;
  auto node = std::make_unique<LayerNode>();
  name_node(*node, last_path_component(p.path), is_set);
  insert_child(*parent, *node, z);
  return node.release();
}

// Clears a window's set when it is `node` or lies inside it.
void forget_in_windows(Engine& e, const LayerNode& node) {
  for (WindowView& w : e.graphics.windows) {
    for (const TreeNode* n = w.set; n; n = n->parent) {
      if (n == &node) {
        w.set = nullptr;
        break;
      }
    }
  }
}

}  // namespace

int32_t drawn_opacity(const Layer& l) { return int32_t(std::clamp<int64_t>(l.opacity, 0, 256)); }
int32_t drawn_threshold(const Layer& l) { return int32_t(std::clamp<int64_t>(l.threshold, 0, 256)); }
int drawn_mode(const Layer& l) { return l.mode >= 0 && l.mode <= 18 ? int(l.mode) : 0; }

int64_t add_saturated(int64_t a, int64_t b) {
  int64_t r = 0;
  if (!__builtin_add_overflow(a, b, &r)) return r;
  return b > 0 ? std::numeric_limits<int64_t>::max() : std::numeric_limits<int64_t>::min();
}

DirtyRect layer_rect(const Layer& l) {
  return {l.x, l.y, add_saturated(l.x, int64_t(l.sx) - 1), add_saturated(l.y, int64_t(l.sy) - 1)};
}

LayerTree::LayerTree() { root.layer = std::make_shared<Layer>(); }

LayerTree::~LayerTree() { free_children(root); }

bool resolve_layer_path(Engine& e, std::string_view id, NodePath& out) {
  return resolve_node_path(e, id, e.graphics.layers.base_path, out);
}

LayerNode* find_layer(Engine& e, const NodePath& p, bool report_missing_set, bool* missing_set) {
  return static_cast<LayerNode*>(find_node_by_path(e, e.graphics.layers.root, p, report_missing_set, missing_set));
}

LayerNode* create_layer_node(Engine& e, const NodePath& p, int64_t z) { return make_node(e, p, false, z); }

LayerNode* create_layer_set(Engine& e, const NodePath& p, int32_t sx, int32_t sy, int64_t z) {
  auto record = std::make_shared<Layer>();
  if (!allocate_canvas(e, *record, sx, sy, 0u, "")) return nullptr;
  record->dirty.full_redraw = true;
  record->dirty.bounds = {0, 0, sx - 1, sy - 1};
  LayerNode* node = make_node(e, p, true, z);
  if (!node) return nullptr;
  node->layer = std::move(record);
  return node;
}

void give_fresh_layer(LayerNode& node) { node.layer = std::make_shared<Layer>(); }

void share_layer(LayerNode& node, const LayerNode& from) { node.layer = from.layer; }

void release_layer_node(Engine& e, LayerNode& node) {
  forget_in_windows(e, node);
  free_children(node);
  detach_node(node);
  if (&node != &e.graphics.layers.root) {
    if (e.graphics.layers.w0 == &node) e.graphics.layers.w0 = nullptr;
    delete &node;
  }
}

void mark_layer_dirty(LayerNode& node) {
  if (!node.layer) return;
  const Layer& l = *node.layer;
  mark_layer_area_dirty(node, 0, 0, int64_t(l.sx) - 1, int64_t(l.sy) - 1);
}

void mark_layer_area_dirty(LayerNode& node, int64_t left, int64_t top, int64_t right, int64_t bottom) {
  if (!node.layer) return;
  const Layer& l = *node.layer;
  DirtyRect r{add_saturated(l.x, left), add_saturated(l.y, top), add_saturated(l.x, right),
              add_saturated(l.y, bottom)};
  for (LayerNode* n = &node; LayerNode* parent = n->parent_node(); n = parent) {
    if (!parent->layer) return;
    Layer& p = *parent->layer;
    if (!mark_dirty_rect(p.dirty, r, p.sx, p.sy)) return;
    // What the grandparent sees of it: the part inside this set's canvas,
    // moved by this set's position.
    r = {add_saturated(std::max<int64_t>(r.left, 0), p.x), add_saturated(std::max<int64_t>(r.top, 0), p.y),
         add_saturated(std::min<int64_t>(r.right, p.sx - 1), p.x),
         add_saturated(std::min<int64_t>(r.bottom, p.sy - 1), p.y)};
  }
}

void mark_set_dirty(LayerNode& node) {
  // Each level widens entry 0 by its own whole canvas: a set placed at a
  // negative position still has all of its canvas redrawn.
  for (LayerNode* n = &node; n; n = n->parent_node()) {
    if (!n->layer) continue;
    const Layer& l = *n->layer;
    mark_dirty_whole(n->layer->dirty, {0, 0, int64_t(l.sx) - 1, int64_t(l.sy) - 1});
  }
}

void set_layer_z(LayerNode& node, int64_t z) { set_node_z(node, z); }

void absolute_layer_position(const LayerNode& node, int64_t& x, int64_t& y) {
  x = y = 0;
  for (const LayerNode* n = &node; n; n = n->parent_node()) {
    if (!n->layer) continue;
    x = add_saturated(x, n->layer->x);
    y = add_saturated(y, n->layer->y);
  }
}

void clear_layer_tree(Engine& e) {
  for (WindowView& w : e.graphics.windows) w.set = nullptr;
  free_children(e.graphics.layers.root);
  e.graphics.layers.w0 = nullptr;
}

}  // namespace nv::gfx
