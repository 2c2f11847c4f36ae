#include "runtime/task_tree.h"

#include <algorithm>

namespace nv {

void build_start_tree(TaskTree& t) {
  t.nodes.clear();
  t.detached.clear();
  t.root.first = t.root.last = nullptr;
  t.root.child_count = 0;
  t.unnamed = &create_task_node(t, t.root, "", 100);
  name_node(*t.unnamed, "", true);
  t.system = &create_task_node(t, t.root, "SYSTEM", 100);
  t.system->task.system = true;
}

TaskNode& create_task_node(TaskTree& t, TaskNode& parent, std::string_view name, int64_t z) {
  auto node = std::make_unique<TaskNode>();
  name_node(*node, name, false);
  insert_child(parent, *node, z);
  t.nodes.push_back(std::move(node));
  return *t.nodes.back();
}

namespace {
void move_to_detached(TaskTree& t, TreeNode* n) {
  for (TreeNode* c = n->first; c; c = c->next) move_to_detached(t, c);
  auto it = std::find_if(t.nodes.begin(), t.nodes.end(), [n](const auto& p) { return p.get() == n; });
  if (it != t.nodes.end()) {
    t.detached.push_back(std::move(*it));
    t.nodes.erase(it);
  }
}
}  // namespace

void detach_task_node(TaskTree& t, TaskNode& node) {
  if (!node.parent) return;
  detach_node(node);
  move_to_detached(t, &node);
}

void free_detached(TaskTree& t) { t.detached.clear(); }

}  // namespace nv
