#include "host/main_loop.h"

#include <mutex>

#include "display/window_create.h"
#include "display/window_events.h"
#include "graphics/worker_pool.h"
#include "host/engine.h"
#include "host/frame.h"
#include "media/sound_thread.h"

namespace nv {

namespace {

bool limit_reached(const MainLoopOptions& o, int64_t frames) { return o.max_frames >= 0 && frames >= o.max_frames; }

// The script thread: frame steps until one reports stop or the limit is
// reached. Each step holds the engine lock, so that the main thread's event
// delivery never runs in the middle of one.
void script_thread_main(Engine& e, const MainLoopOptions& o, std::atomic<int64_t>& frames_out,
                        std::atomic<bool>& done) {
  {
    std::lock_guard<std::recursive_mutex> g(e.lock);
    e.script_thread.finished = false;
  }
  int64_t frames = 0;
  for (;;) {
    int status = 0;
    {
      std::lock_guard<std::recursive_mutex> g(e.lock);
      status = frame_step(e);
    }
    ++frames;
    if (status != 0 || limit_reached(o, frames)) break;
  }
  frames_out.store(frames);
  {
    std::lock_guard<std::recursive_mutex> g(e.lock);
    e.script_thread.finished = true;
  }
  // Ends the main loop, as closing the main window does.
  done.store(true);
}

}  // namespace

int64_t run_main_loop(Engine& e, const MainLoopOptions& o) {
  if (e.config.script_thread == 1) {
    std::atomic<int64_t> counted{0};
    std::atomic<bool> done{false};
    e.script_thread.started = true;
    e.script_thread.thread =
        std::thread(script_thread_main, std::ref(e), std::cref(o), std::ref(counted), std::ref(done));
    while (e.running.load() && !done.load()) {
      {
        std::lock_guard<std::recursive_mutex> g(e.lock);
        if (o.on_turn) o.on_turn(e);
        display::pump_window_events(e);
      }
      // Follow the frame thread's time without moving it.
      e.platform.clock->wait_until_us(e.platform.clock->now_us() + 1000, &done);
    }
    e.script_thread.thread.join();
    return counted.load();
  }
  int64_t frames = 0;
  while (e.running.load() && !limit_reached(o, frames)) {
    if (o.on_turn) o.on_turn(e);
    display::pump_window_events(e);
    if (e.stop.load()) break;
    int status = frame_step(e);  // paces the frame on the clock
    ++frames;
    if (status != 0) break;
  }
  return frames;
}

void shut_down(Engine& e) {
  // Each thread sets its finished mark last, so joining waits for it. A
  // title stopped from outside (frame limit) has not set the stop flag yet.
  e.stop.store(true);
  media::join_sound_thread(e);
  if (e.script_thread.thread.joinable()) e.script_thread.thread.join();
  e.script_thread.started = false;
  e.graphics.workers.reset();  // wakes the workers with the stop flag set and joins them
  display::shut_down_windows(e);
  e.running.store(false);
}

}  // namespace nv
