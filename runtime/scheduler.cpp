#include "runtime/scheduler.h"

#include "core/engine.h"
#include "platform/encoding.h"
#include "runtime/dispatch.h"
#include "runtime/fetch.h"
#include "runtime/task_tree.h"

namespace nv {

int walk_frame(Engine& e, WalkStep before_walk) {
  TaskTree& t = e.tasks;
  if (e.stop.load()) return 1;
  int status = 0;
  do {
    t.rewalk = false;
    ++t.frame_counter;
    if (before_walk) before_walk(e);
    if (walk_tasks(e, t.root) != 0 || e.stop.load()) {
      e.stop.store(true);
      status = 1;
      break;
    }
  } while (t.rewalk);
  t.current = nullptr;
  e.dispatch.task = nullptr;
  free_detached(t);
  return status;
}

namespace {

// The command loop of one task's turn. The records it uses for every
// instruction are looked up once.
void run_turn(Engine& e, TaskNode& node) {
  TaskTree& t = e.tasks;
  DispatchState& d = e.dispatch;
  Task& task = node.task;
  d.task = &task;
  bool yield = false;
  while (!e.stop.load() && !yield) {
    int command = fetch(e, d, task);
    if (command < 0) break;
    int status = run_fetched(e, d, task, command);
    yield = (status & 0xFF) != 0;
    ++t.command_counter;
    if (e.config.debug_mode != 0 && (t.command_counter % 1024) == 0) corner_check(e);
  }
}

}  // namespace

int walk_tasks(Engine& e, TaskNode& set) {
  TaskTree& t = e.tasks;
  for (uint32_t p = set.child_count; p >= 1; --p) {
    auto* child = static_cast<TaskNode*>(child_at(set, p));
    if (!child) continue;
    Task& task = child->task;
    if ((task.enabled & task.active) == 0) continue;
    if (child->is_set) {
      walk_tasks(e, *child);
      if (e.stop.load()) return 0;
      continue;
    }
    t.current = child;
    e.dispatch.task = &task;
    if (task.walk_stamp == t.frame_counter) continue;
    task.walk_stamp = t.frame_counter;
    if (task.text_busy) continue;
    if (task.wait_frames != 0) --task.wait_frames;
    if (task.wait_until != 0 && e.platform.clock->now_ms() >= task.wait_until) task.wait_until = 0;
    if (task.wait_frames != 0 || task.wait_until != 0) continue;
    run_turn(e, *child);
    if (e.stop.load()) return 0;
  }
  return 0;
}

void corner_check(Engine& e) {
  TaskTree& t = e.tasks;
  int x = 0, y = 0;
  e.platform.display->cursor_position(x, y);
  platform::DesktopSize d = e.platform.system->desktop();
  const int w = d.width, h = d.height;
  if (x <= 8 && y <= 8) t.corner_flags |= 1;
  else if (x <= 8 && y >= h - 9) t.corner_flags |= 2;
  else if (x >= w - 9 && y <= 8) t.corner_flags |= 4;
  else if (x >= w - 9 && y >= h - 9) t.corner_flags |= 8;
  if (t.corner_flags != 15) return;
  t.corner_flags = 0;
  platform::MessageBoxSpec box;
  box.caption = platform::utf8_to_sjis("[デバッグ機能]");
  box.text = platform::utf8_to_sjis("マウスによる画面四隅への移動を検出しました。\n\n強制的に終了します。よろしいですか？");
  box.buttons = platform::Buttons::yes_no;
  box.icon = platform::Icon::information;
  int answer = e.platform.dialogs->message_box(box);
  if (answer == platform::kIdYes) e.stop.store(true);
}

}  // namespace nv
