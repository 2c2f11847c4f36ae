// The node shape shared by the task, layer, sound and menu trees: a name
// with its hash, sibling and child links, a child count and a 64-bit Z.
// Children are kept in ascending Z; a node placed with a Z goes after every
// sibling of the same Z. Each tree derives its node from TreeNode and owns
// the memory; these functions only link and unlink.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace nv {

constexpr uint32_t kSetHashBit = 0x80000000u;

struct TreeNode {
  std::string name;  // Shift-JIS, the last path component
  uint32_t hash = 0; // adler-32 (initial value 0) of the name; bit 31 marks a set
  TreeNode* parent = nullptr;
  TreeNode* first = nullptr;
  TreeNode* last = nullptr;
  TreeNode* prev = nullptr;
  TreeNode* next = nullptr;
  uint32_t child_count = 0;
  int64_t z = 0;
  bool is_set = false;

  TreeNode() = default;
  TreeNode(const TreeNode&) = delete;
  TreeNode& operator=(const TreeNode&) = delete;
  virtual ~TreeNode() = default;
};

// The hash a node called `name` carries: adler-32 from 0 with bit 31 set for
// a set and clear otherwise.
uint32_t node_name_hash(std::string_view name, bool is_set);

// Gives `node` its name, hash and set flag.
void name_node(TreeNode& node, std::string_view name, bool is_set);

// Links `child` (not linked anywhere) under `parent` before the first child
// whose Z is strictly greater than `z`.
void insert_child(TreeNode& parent, TreeNode& child, int64_t z);

// Unlinks `node` from its parent (its own children stay with it). Nothing
// happens for a node that is not linked.
void detach_node(TreeNode& node);

// Changes the Z of `node` and re-places it among its siblings: it comes
// after every sibling of the same Z, even when the value did not change.
void set_node_z(TreeNode& node, int64_t z);

// The child at 1-based position `p` counting from the first, or nullptr.
TreeNode* child_at(const TreeNode& parent, uint32_t p);

// The child called `name` that is a set (`is_set`) or a plain node.
TreeNode* find_child(const TreeNode& parent, std::string_view name, bool is_set);

}  // namespace nv
