#include "host/main_loop.h"

#include <mutex>

#include "display/window_create.h"
#include "display/window_events.h"
#include "graphics/worker_pool.h"
#include "host/engine.h"
#include "host/frame.h"
#include "input/input_frame.h"
#include "input/input_state.h"
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

// Window events, the tray's events and the pointer: what one pass of the
// main loop takes from the desktop.
void take_desktop_input(Engine& e, const MainLoopOptions& o) {
  if (o.on_turn) o.on_turn(e);
  display::pump_window_events(e);
  input::pump_tray_events(e);
  input::take_input_snapshot(e);
}

int64_t run_main_loop(Engine& e, const MainLoopOptions& o) {
  e.input.ui.claim();
  if (e.config.script_thread == 1) {
    std::atomic<int64_t> counted{0};
    std::atomic<bool> done{false};
    e.script_thread.started = true;
    e.script_thread.thread =
        std::thread(script_thread_main, std::ref(e), std::cref(o), std::ref(counted), std::ref(done));
    while (e.running.load() && !done.load()) {
      // While a frame step holds the engine lock it may be waiting for work
      // only this thread can do (a dialog, a pop-up): serve it meanwhile.
      bool locked = false;
      while (!done.load() && !(locked = e.lock.try_lock()))
        if (!e.input.ui.serve()) e.input.ui.wait_for_work(1);
      if (!locked) break;
      {
        std::lock_guard<std::recursive_mutex> g(e.lock, std::adopt_lock);
        take_desktop_input(e, o);
      }
      // A short wait, cut short by work handed over (the virtual clock
      // would not move while the frame thread waits for that work).
      if (!e.input.ui.serve()) e.input.ui.wait_for_work(1);
    }
    e.script_thread.thread.join();
    return counted.load();
  }
  int64_t frames = 0;
  while (e.running.load() && !limit_reached(o, frames)) {
    take_desktop_input(e, o);
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
