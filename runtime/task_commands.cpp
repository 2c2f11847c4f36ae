#include "runtime/task_commands.h"

#include <limits>
#include <string>

#include "core/assign_kind.h"
#include "core/engine.h"
#include "core/error_report.h"
#include "core/tree_path.h"
#include "formats/command_table.h"
#include "runtime/arg_eval.h"
#include "runtime/arg_slots.h"
#include "runtime/dispatch.h"
#include "runtime/output_target.h"
#include "runtime/script_pos.h"
#include "runtime/script_tables.h"
#include "runtime/task_tree.h"

namespace nv {

namespace {

constexpr std::string_view kTask = "TASK";
constexpr std::string_view kTaskEnd = "TASKEND";

// Resolves an ID argument against the task base path. Returns false after a
// report.
bool task_path(Engine& e, std::string_view id, NodePath& out) {
  return resolve_node_path(e, id, kTaskBasePath, out);
}

TaskNode* lookup(Engine& e, const NodePath& p, bool report_missing_set) {
  return static_cast<TaskNode*>(find_node_by_path(e, e.tasks.root, p, report_missing_set));
}

int start_at_label(Engine& e, Task& t, const Label& l) {
  if (start_task_at(e, t, l.script, l.instruction) != 0) return -1;
  return 0;
}

}  // namespace

int task_command(Engine& e) {
  namespace K = kw::TASK;
  if (evaluate_arguments(e) != 0) return -1;
  const ArgSlots& a = e.args;
  TaskTree& tree = e.tasks;

  TaskNode* node = tree.current;
  NodePath path;
  std::string id = a.has(K::ID) ? std::string(a.at(K::ID).text_view()) : std::string();
  if (!id.empty()) {
    if (!task_path(e, id, path)) return -1;
    if (path.is_set) return report(e, 101293, {kTask, id});
    node = lookup(e, path, false);
  }

  int64_t z = 1;
  bool z_given = a.has(K::Z);
  if (z_given) {
    z = apply_kind_z(node ? node->z : 1, a.at(K::Z).value, a.at(K::Z).assign_op);
    if (node) set_node_z(*node, z);
  }
  if (!node && !a.has(K::TARGET)) return report(e, 101400, {kTask, id});

  if (a.has(K::TARGET)) {
    std::string label_name(a.at(K::TARGET).text_view());
    int32_t li = find_label(e.scripts.labels, label_name);
    if (li < 0) return report(e, 108180, {label_name});
    if (!node) {
      TreeNode* parent = find_parent_set(e, tree.root, path);
      if (!parent) return -1;
      node = &create_task_node(tree, static_cast<TaskNode&>(*parent), last_path_component(path.path), z);
    }
    Task& t = node->task;
    if (start_at_label(e, t, e.scripts.labels.labels[size_t(li)]) != 0) return -1;
    for (int k = 1; k <= kParamSlots; ++k) t.task_params.clear(k);
    for (int k = 1; k <= kParamSlots; ++k) {
      if (a.has(K::TINT + k - 1)) t.task_params.ints[size_t(k)] = a.at(K::TINT + k - 1).value;
      if (a.has(K::TFLT + k - 1)) t.task_params.floats[size_t(k)] = static_cast<double>(a.at(K::TFLT + k - 1).value);
    }
  }
  Task& t = node->task;
  if (a.has(K::E)) t.enabled = static_cast<uint8_t>(a.at(K::E).value);
  if (a.has(K::A)) t.active = static_cast<uint8_t>(a.at(K::A).value);
  if (a.has(K::SCRIPTPOS) && restore_script_pos(e, t, a.at(K::SCRIPTPOS).text_view()) != 0) return -1;
  if (a.has(K::RESTART)) {
    tree.rewalk = true;
    // The node is re-placed at the Z computed above (not combined a second
    // time), so it sorts after its equal-Z siblings for the new walk.
    if (z_given) set_node_z(*node, z);
  }
  return 0;
}

int taskend_command(Engine& e) {
  if (evaluate_arguments(e) != 0) return -1;
  const ArgSlots& a = e.args;
  TaskTree& tree = e.tasks;
  if (!a.has(kw::TASKEND::ID)) {
    TaskNode* cur = tree.current;
    if (!cur || cur->task.system) return report(e, 101420, {kTaskEnd});
    detach_task_node(tree, *cur);
    return -1;
  }
  std::string id(a.at(kw::TASKEND::ID).text_view());
  NodePath path;
  if (!task_path(e, id, path)) return -1;
  if (path.path == "SYSTEM" && !path.is_set) return report(e, 101420, {kTaskEnd});
  bool missing_set = false;
  auto* node = static_cast<TaskNode*>(find_node_by_path(e, tree.root, path, true, &missing_set));
  if (missing_set) return -1;
  if (!node) return report(e, 101400, {kTaskEnd, id});
  if (node->task.system) return report(e, 101420, {kTaskEnd});
  detach_task_node(tree, *node);
  return 0;
}

int taskinfo_command(Engine& e) {
  namespace K = kw::TASKINFO;
  if (evaluate_arguments(e) != 0) return -1;
  const ArgSlots& a = e.args;
  OutputTarget out = output_target(e, K::LET);
  TaskNode* node = e.tasks.current;
  bool asked_current = true;
  if (a.has(K::ID)) {
    NodePath path;
    if (!resolve_node_path(e, a.at(K::ID).text_view(), kTaskBasePath, path)) return -1;
    node = path.is_set ? nullptr : lookup(e, path, false);
    asked_current = node == e.tasks.current;
    if (!node) return store_zero(e, out);
  }
  if (!node) return store_zero(e, out);
  const Task& t = node->task;
  if (a.has(K::EXIST)) {
    if (out.type() == kVarString) return report(e, 101140);
    return store_int(e, out, 1);
  }
  auto line_of = [&]() -> int64_t {
    if (!t.image) return 0;
    int32_t at = asked_current ? e.dispatch.instruction : t.pc - 1;
    if (at < 0 || static_cast<uint32_t>(at) >= t.image->count) return 0;
    return t.image->line_of(static_cast<uint32_t>(at));
  };
  std::string_view script_name =
      t.script < e.scripts.script_names.size() ? std::string_view(e.scripts.script_names[t.script]) : std::string_view();
  if (a.has(K::E)) return store_int(e, out, t.enabled);
  if (a.has(K::A)) return store_int(e, out, t.active);
  if (a.has(K::Z)) return store_int(e, out, node->z);
  if (a.has(K::FILE)) return out.type() == kVarString ? store_text(e, out, script_name) : 0;
  if (a.has(K::LINE)) return store_int(e, out, line_of());
  if (a.has(K::TEXTLINE)) return store_int(e, out, t.text_line);
  if (a.has(K::NEXTVOICE)) return store_int(e, out, t.next_voice);
  if (a.has(K::IFNEST)) return store_int(e, out, t.if_depth);
  if (a.has(K::GOSUBNEST)) return store_int(e, out, t.gosub_depth);
  if (a.has(K::LOOPNEST)) return store_int(e, out, t.loop_depth);
  if (a.has(K::FILENO)) return store_int(e, out, t.script);
  if (a.has(K::SCRIPTPOS))
    return out.type() == kVarString ? store_text(e, out, encode_script_pos(t, script_name)) : 0;
  return 0;
}

int wait_command(Engine& e) {
  if (evaluate_arguments(e) != 0) return -1;
  const ArgSlots& a = e.args;
  Task* t = e.dispatch.task;
  if (!t) return 0;
  int64_t frames = a.value(kw::WAIT::FRAME);
  int64_t time = a.value(kw::WAIT::TIME);
  if (frames != 0) {
    t->wait_frames = static_cast<int32_t>(std::min<int64_t>(frames, std::numeric_limits<int32_t>::max()));
    return 1;
  }
  if (time != 0) {
    uint32_t until = e.platform.clock->now_ms() + static_cast<uint32_t>(time);
    t->wait_until = until == 0 ? 1 : until;  // 0 would mean "no wait"
    return 1;
  }
  return 0;
}

}  // namespace nv
