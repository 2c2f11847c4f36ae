// The engine context: the one object that owns every piece of state the
// engine keeps for the life of a process. Handlers are plain functions over
// it; nothing else in the engine holds mutable state, so a test can make,
// run and drop as many engines as it likes in one process.
//
// The ground's records are held here by value: the error state, the engine
// lock, the stop flag, the platform services and the configuration. Every
// subsystem's record is a reference to a type its own folder defines, so a
// folder reaches only the records whose headers it may include. The top
// (host/) defines the constructor: it owns the records and wires the
// tables that list every subsystem.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>

#include "core/error_state.h"
#include "formats/title_config.h"
#include "formats/user_settings.h"
#include "platform/platform.h"

namespace nv {

struct ArgSlots;
struct DispatchState;
struct EvaluatorState;
struct ScriptTables;
struct ScriptThread;
struct SystemVarState;
struct TaskTree;
struct VariableFile;
struct VariableTable;
namespace data {
struct SaveState;
struct VarCommandState;
}
namespace display {
struct WindowsState;
}
namespace input {
struct InputState;
}
namespace gfx {
struct FramePacing;
struct GraphicsState;
}
namespace media {
struct SoundState;
}
namespace res {
struct ResourceState;
}
namespace text {
struct FontState;
struct TextState;
}
struct EngineRecords;

struct Engine {
  explicit Engine(platform::Platform& platform_services);
  // Shuts down what is still running (threads are stopped and joined).
  ~Engine();
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  platform::Platform& platform;  // clock, files, dialogs, system facts, windows

  // `EngineLock`: guards the sound request ring and channel fields, the
  // info.txt log and the threads' finished marks.
  std::recursive_mutex lock;

  // Set by END, a stopping error report, the debug escape or shut-down; ends
  // the command loop, the frame step and the workers.
  std::atomic<bool> stop{false};

  // Cleared when the main loop has ended.
  std::atomic<bool> running{true};

  // Whether the mouse cursor is shown (the error dialog makes it visible).
  std::atomic<bool> cursor_visible{true};

  ErrorState errors;
  EngineConfig config;          // nvbin\nvcfg.nbn
  UserSettings user_settings;   // nvcfg.dat
  bool title_folder_writable = true;  // the start-up write probe

 private:
  // Built before the references below, which point into it.
  std::unique_ptr<EngineRecords> records_;

 public:
  ScriptTables& scripts;      // command table, script index and list, labels, compiled scripts
  DispatchState& dispatch;    // current instruction, handler tables, pause state
  TaskTree& tasks;            // the task tree and the walk counters
  ArgSlots& args;             // the current instruction's evaluated arguments
  EvaluatorState& eval;       // value stack and string temporaries
  VariableTable& vars;
  VariableFile& varfile;      // nvbin\nvv.nbn, kept for script-scope variables
  SystemVarState& sysvars;    // the system-variable table and the values it keeps
  data::VarCommandState& varcmd;     // MATH RND's generator
  data::SaveState& save;             // the pending records of SAVE, the save folder
  res::ResourceState& resources;     // packs, caches, probing orders
  gfx::GraphicsState& graphics;      // layer tree, pixel routines, workers
  gfx::FramePacing& pacing;          // frame rate, skipping, per-second counts
  display::WindowsState& windows;    // the four window slots and the flags of their events
  text::TextState& text;             // the message text queue and its output
  text::FontState& fonts;            // the font list, the font slots and the glyph cache
  input::InputState& input;          // keys, mouse, menus, tray, scripted input
  media::SoundState& sound;          // the sound tree, the request ring and the sound thread
  ScriptThread& script_thread;       // runs the frame step when the title asks for it
};

}  // namespace nv
