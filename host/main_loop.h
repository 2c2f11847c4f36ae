// The main loop and shut-down. The frame step runs on the main thread, or
// on the script thread when the title's configuration asks for one; the main
// thread then only delivers window events and requests.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

namespace nv {

struct Engine;

// The script thread and its finished mark (guarded by the engine lock).
struct ScriptThread {
  std::thread thread;
  // Held by the script thread for each frame step and by the main thread
  // while it delivers window events.
  std::recursive_mutex frame_lock;
  bool started = false;
  bool finished = false;
};

struct MainLoopOptions {
  int64_t max_frames = -1;        // stop after this many frame steps (-1: no limit)
  // Called by the main thread once per turn of the loop, before the window
  // events are delivered (requests from a second start).
  std::function<void(Engine&)> on_turn;
};

// Delivers window events and runs frame steps (each paced by the frame
// step itself) until the engine stops or the frame limit is reached;
// returns the number of frame steps run. Starts the script thread when the
// configuration asks for it and waits for it to finish.
int64_t run_main_loop(Engine& e, const MainLoopOptions& options);

// Shut-down in order: the sound and script threads finish, the stop flag is
// set and the workers end, then what the subsystems hold is released.
void shut_down(Engine& e);

}  // namespace nv
