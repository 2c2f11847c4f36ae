// The `LayerTree`: nodes named by paths (core/tree_path.h), each showing a
// shared `Layer` record, sets holding their children in ascending Z. The
// tree owns its nodes; releasing a node frees it and its descendants.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "core/tree_node.h"
#include "core/tree_path.h"
#include "graphics/layer.h"

namespace nv {
struct Engine;
}  // namespace nv

namespace nv::gfx {

struct LayerNode : TreeNode {
  std::shared_ptr<Layer> layer;  // null only for a node not yet given a record

  LayerNode* parent_node() const { return static_cast<LayerNode*>(parent); }
  LayerNode* first_child() const { return static_cast<LayerNode*>(first); }
  LayerNode* last_child() const { return static_cast<LayerNode*>(last); }
  LayerNode* next_sibling() const { return static_cast<LayerNode*>(next); }
  LayerNode* prev_sibling() const { return static_cast<LayerNode*>(prev); }
};

struct LayerTree {
  LayerNode root;                // unnamed; its record has the main window's size
  std::string base_path = "W0";  // layer IDs are resolved against this set
  LayerNode* w0 = nullptr;       // the start-up set

  LayerTree();
  ~LayerTree();
  LayerTree(const LayerTree&) = delete;
  LayerTree& operator=(const LayerTree&) = delete;
};

// Resolves a layer ID against the base path (false after a report).
bool resolve_layer_path(Engine& e, std::string_view id, NodePath& out);

// The node `p` names; a missing set on the way is reported with 100230 when
// `report_missing_set`.
LayerNode* find_layer(Engine& e, const NodePath& p, bool report_missing_set = true, bool* missing_set = nullptr);

// A plain node at `p` with `z` and no record yet; nullptr after reporting a
// missing parent set (100230).
LayerNode* create_layer_node(Engine& e, const NodePath& p, int64_t z);

// A set at `p` with a zero-filled canvas of sx x sy, the full-redraw flag
// set and the redraw bounds covering the canvas. nullptr after a report
// (100230, or an allocation failure).
LayerNode* create_layer_set(Engine& e, const NodePath& p, int32_t sx, int32_t sy, int64_t z);

// Gives `node` a fresh record, or makes it show the record of `from`.
void give_fresh_layer(LayerNode& node);
void share_layer(LayerNode& node, const LayerNode& from);

// Unlinks and frees `node` and, for a set, all its descendants first. A
// record is freed with its last node. Windows that display a released set
// forget it.
void release_layer_node(Engine& e, LayerNode& node);

// Records the node's rectangle as dirty in its parent set, and the part of
// it that shows in each further ancestor.
void mark_layer_dirty(LayerNode& node);

// The same for the part of the node's image from (left, top) to (right,
// bottom) inclusive, in the image's own pixels (text drawn into a layer).
void mark_layer_area_dirty(LayerNode& node, int64_t left, int64_t top, int64_t right, int64_t bottom);

// For the node and each ancestor: the recompose flag, and dirty rectangle 0
// widened to cover that level's whole canvas.
void mark_set_dirty(LayerNode& node);

// Re-places `node` among its siblings with `z` (after every equal Z).
void set_layer_z(LayerNode& node, int64_t z);

// The node's position in the root's coordinates: the sum of X and Y over
// the node and its ancestors.
void absolute_layer_position(const LayerNode& node, int64_t& x, int64_t& y);

// Frees every node under the root.
void clear_layer_tree(Engine& e);

}  // namespace nv::gfx
