// The task tree: a root that never runs, an unnamed set at Z 100 and the
// task "SYSTEM" at Z 100 after it (so it runs first: the walk takes the
// last child first). Nodes are owned here; a detached node stays allocated
// until the frame step ends, because the task running may be the one that
// was detached.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "core/tree_node.h"
#include "runtime/task.h"

namespace nv {

struct Engine;

struct TaskNode : TreeNode {
  Task task;  // for a set, only E and A are used: they gate the whole set
};

struct TaskTree {
  TaskNode root;
  TaskNode* unnamed = nullptr;  // the unnamed set
  TaskNode* system = nullptr;   // "SYSTEM"
  std::vector<std::unique_ptr<TaskNode>> nodes;     // every linked node but the root
  std::vector<std::unique_ptr<TaskNode>> detached;  // freed at the end of the frame step

  uint64_t frame_counter = 0;    // `FrameCounter`: incremented before every walk
  uint64_t command_counter = 0;  // commands run (debug mode checks the corners every 1024)
  uint8_t corner_flags = 0;      // debug escape: corners visited
  bool rewalk = false;           // TASK RESTART: walk again in this frame
  int64_t restart_request = 0;   // END RESTART
  TaskNode* current = nullptr;   // the node whose task runs
};

// Builds the start-up tree. "SYSTEM" is not pointed anywhere yet.
void build_start_tree(TaskTree& t);

// Makes a task node called `name` under `parent` at `z` (inserted by Z).
TaskNode& create_task_node(TaskTree& t, TaskNode& parent, std::string_view name, int64_t z);

// Unlinks `node` with its subtree; it stays allocated until free_detached().
void detach_task_node(TaskTree& t, TaskNode& node);
void free_detached(TaskTree& t);

// The base path task IDs are resolved against (the unnamed set).
constexpr std::string_view kTaskBasePath = "";

}  // namespace nv
