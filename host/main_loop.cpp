#include "host/main_loop.h"

#include <mutex>

#include "host/engine.h"
#include "media/sound_thread.h"
#include "runtime/scheduler.h"

namespace nv {

namespace {

// One frame step and the rest after it; false when the engine stops.
bool step(Engine& e, const MainLoopOptions& o, int64_t& frames) {
  bool go_on = frame_step(e) == 0;
  ++frames;
  if (go_on && o.frame_sleep_ms) e.host.clock->sleep_ms(o.frame_sleep_ms);
  return go_on && !(o.max_frames >= 0 && frames >= o.max_frames);
}

void script_thread_main(Engine& e, const MainLoopOptions& o, std::atomic<int64_t>& frames_out,
                        std::atomic<bool>& done) {
  {
    std::lock_guard<std::recursive_mutex> g(e.lock);
    e.script_thread.finished = false;
  }
  int64_t frames = 0;
  while (step(e, o, frames)) {
  }
  frames_out.store(frames);
  {
    std::lock_guard<std::recursive_mutex> g(e.lock);
    e.script_thread.finished = true;
  }
  // Closing the main window ends the main loop.
  done.store(true);
}

}  // namespace

int64_t run_main_loop(Engine& e, const MainLoopOptions& o) {
  int64_t frames = 0;
  if (e.config.script_thread == 1) {
    std::atomic<int64_t> counted{0};
    std::atomic<bool> done{false};
    e.script_thread.started = true;
    e.script_thread.thread =
        std::thread(script_thread_main, std::ref(e), std::cref(o), std::ref(counted), std::ref(done));
    while (e.running.load() && !done.load()) {
      if (o.on_turn) o.on_turn(e);
      // Follow the frame thread's time without moving it.
      e.host.clock->wait_until_us(e.host.clock->now_us() + 1000, &done);
    }
    e.script_thread.thread.join();
    return counted.load();
  }
  while (e.running.load()) {
    if (o.on_turn) o.on_turn(e);
    if (!step(e, o, frames)) break;
  }
  return frames;
}

void shut_down(Engine& e) {
  // The threads end when they see the stop flag; a title closed from
  // outside (frame limit, window closed) has not set it yet.
  // Each thread sets its finished mark last, so joining waits for it.
  e.stop.store(true);
  join_sound_thread(e);
  if (e.script_thread.thread.joinable()) e.script_thread.thread.join();
  e.script_thread.started = false;
  e.running.store(false);
}

}  // namespace nv
