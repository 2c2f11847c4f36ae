// The one object that owns every piece of state the engine keeps for the
// life of a process. Handlers are plain functions over it; nothing else in
// the engine holds mutable state, so a test can make, run and drop as many
// engines as it likes in one process.
#pragma once

#include <atomic>
#include <mutex>

#include "data/evaluator_state.h"
#include "data/system_vars.h"
#include "data/var_command_state.h"
#include "data/variable_file.h"
#include "data/variables.h"
#include "graphics/frame_pacing.h"
#include "graphics/graphics_state.h"
#include "host/engine_config.h"
#include "host/main_loop.h"
#include "media/sound_thread.h"
#include "host/windows_state.h"
#include "input/input_state.h"
#include "platform/platform.h"
#include "runtime/arg_slots.h"
#include "runtime/dispatch.h"
#include "resources/resource_state.h"
#include "runtime/error_state.h"
#include "runtime/script_tables.h"
#include "runtime/task_tree.h"

namespace nv {

struct Engine {
  explicit Engine(platform::Platform& host_services) : host(host_services) {}
  // Shuts down what is still running (threads are stopped and joined).
  ~Engine();
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  platform::Platform& host;  // clock, files, dialogs, system facts

  // `EngineLock`: guards the sound request ring and channel fields, the
  // info.txt log and the threads' finished marks.
  std::recursive_mutex lock;

  // Set by END, a stopping error report, the debug escape or shut-down; ends
  // the command loop, the frame step and the workers.
  std::atomic<bool> stop{false};

  // Cleared when the main loop has ended.
  std::atomic<bool> running{true};

  // Subsystem state. Each record is defined by its subsystem.
  ErrorState errors;
  ScriptTables scripts;      // command table, script index and list, labels, compiled scripts
  DispatchState dispatch;    // current instruction, handler tables, pause state
  TaskTree tasks;            // the task tree and the walk counters
  ArgSlots args;             // the current instruction's evaluated arguments
  EvaluatorState eval;       // value stack and string temporaries
  VariableTable vars;
  VariableFile varfile;      // nvbin\nvv.nbn, kept for script-scope variables
  SystemVarState sysvars = system_var_state_at_start(*host.clock);
  VarCommandState varcmd = var_command_state_at_start(*host.clock);

  // Whether the mouse cursor is shown (the error dialog makes it visible).
  std::atomic<bool> cursor_visible{true};

  ResourceState resources;
  WindowsState windows;      // the four window slots and the flags of their events
  InputState input;          // keys, mouse, menus, tray, scripted input
  FramePacing pacing;        // frame rate, skipping, per-second counts

  GraphicsState graphics;    // layer tree, pixel routines, workers
  EngineConfig config;
  UserSettings user_settings;
  bool title_folder_writable = true;  // the start-up write probe

  SoundThread sound_thread;    // owns the sound buffers; fed by the request ring
  ScriptThread script_thread;  // runs the frame step when the title asks for it
};

}  // namespace nv
