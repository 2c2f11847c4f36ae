#include "core/tree_node.h"

#include "formats/checksums.h"

namespace nv {

uint32_t node_name_hash(std::string_view name, bool is_set) {
  uint32_t h = adler32_of(name, 0) & ~kSetHashBit;
  return is_set ? (h | kSetHashBit) : h;
}

void name_node(TreeNode& node, std::string_view name, bool is_set) {
  node.name.assign(name);
  node.is_set = is_set;
  node.hash = node_name_hash(name, is_set);
}

void insert_child(TreeNode& parent, TreeNode& child, int64_t z) {
  child.z = z;
  child.parent = &parent;
  TreeNode* after = parent.first;
  while (after && after->z <= z) after = after->next;
  // `after` is the first child with a greater Z: link before it.
  child.next = after;
  child.prev = after ? after->prev : parent.last;
  if (child.prev) child.prev->next = &child;
  else parent.first = &child;
  if (after) after->prev = &child;
  else parent.last = &child;
  ++parent.child_count;
}

void detach_node(TreeNode& node) {
  TreeNode* parent = node.parent;
  if (!parent) return;
  if (node.prev) node.prev->next = node.next;
  else parent->first = node.next;
  if (node.next) node.next->prev = node.prev;
  else parent->last = node.prev;
  --parent->child_count;
  node.parent = node.prev = node.next = nullptr;
}

void set_node_z(TreeNode& node, int64_t z) {
  TreeNode* parent = node.parent;
  if (!parent) {
    node.z = z;
    return;
  }
  detach_node(node);
  insert_child(*parent, node, z);
}

TreeNode* child_at(const TreeNode& parent, uint32_t p) {
  if (p == 0 || p > parent.child_count) return nullptr;
  TreeNode* n = parent.first;
  for (uint32_t i = 1; n && i < p; ++i) n = n->next;
  return n;
}

TreeNode* find_child(const TreeNode& parent, std::string_view name, bool is_set) {
  uint32_t h = node_name_hash(name, is_set);
  for (TreeNode* n = parent.first; n; n = n->next)
    if (n->hash == h && n->is_set == is_set && n->name == name) return n;
  return nullptr;
}

}  // namespace nv
