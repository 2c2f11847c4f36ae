#include "media/sound_thread.h"

#include <mutex>

#include "core/engine.h"

namespace nv::media {

namespace {

constexpr uint64_t kIdleStepUs = 10000;  // how long the thread rests without requests

void sound_thread_main(Engine& e) {
  SoundThread& s = e.sound_thread;
  while (!e.stop.load()) {
    // Execute what is queued, one request at a time outside the lock.
    for (;;) {
      SoundRequest r;
      {
        std::lock_guard<std::recursive_mutex> g(e.lock);
        if (s.ring.count == 0) break;
        r = std::move(s.ring.slots[s.ring.head]);
        s.ring.head = (s.ring.head + 1) % kSoundRingSize;
        --s.ring.count;
      }
      if (s.execute) s.execute(e, r);
      std::lock_guard<std::recursive_mutex> g(e.lock);
      ++s.executed;
    }
    // Rest until a request comes, the stop flag is set, or the clock moves
    // on (the virtual clock moves only with the frame thread).
    uint64_t now = e.platform.clock->now_us();
    e.platform.clock->wait_until_us(now + kIdleStepUs, &e.stop);
  }
  std::lock_guard<std::recursive_mutex> g(e.lock);
  s.finished = true;
}

}  // namespace

void start_sound_thread(Engine& e) {
  SoundThread& s = e.sound_thread;
  if (s.started) return;
  s.started = true;
  s.finished = false;
  s.thread = std::thread(sound_thread_main, std::ref(e));
}

bool queue_sound_request(Engine& e, SoundRequest r) {
  SoundThread& s = e.sound_thread;
  {
    std::lock_guard<std::recursive_mutex> g(e.lock);
    if (s.ring.count == kSoundRingSize) return false;
    s.ring.slots[(s.ring.head + s.ring.count) % kSoundRingSize] = std::move(r);
    ++s.ring.count;
  }
  return true;
}

void join_sound_thread(Engine& e) {
  SoundThread& s = e.sound_thread;
  if (!s.started) return;
  if (s.thread.joinable()) s.thread.join();
  s.started = false;
}

}  // namespace nv::media
