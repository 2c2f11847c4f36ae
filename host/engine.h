// The one object that owns every piece of state the engine keeps for the
// life of a process. Handlers are plain functions over it; nothing else in
// the engine holds mutable state, so a test can make, run and drop as many
// engines as it likes in one process.
#pragma once

#include <atomic>
#include <mutex>

#include "host/engine_config.h"
#include "platform/platform.h"
#include "runtime/error_state.h"

namespace nv {

struct Engine {
  explicit Engine(platform::Platform& host_services) : host(host_services) {}
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
  EngineConfig config;
  UserSettings user_settings;
};

}  // namespace nv
