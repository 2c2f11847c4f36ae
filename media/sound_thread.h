// The sound thread and its request ring. Script-side sound commands never
// touch sound buffers: they queue requests here, and the sound thread, which
// owns every buffer, executes them in order. The ring and the thread's
// finished mark are guarded by the engine lock.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

namespace nv {
struct Engine;
}  // namespace nv

namespace nv::media {

struct SoundRequest {
  uint8_t kind = 0;      // what to do (see the sound commands)
  int32_t channel = 0;   // the sound node it concerns
  int64_t a = 0, b = 0;  // numeric operands
  std::string name;      // a file name, when the request loads one
};

constexpr size_t kSoundRingSize = 256;

struct SoundRequestRing {
  std::array<SoundRequest, kSoundRingSize> slots;
  size_t head = 0;  // next request to execute
  size_t count = 0;
};

// Executes one request on the sound thread; installed by the sound engine.
using SoundExecutor = void (*)(Engine& e, const SoundRequest& r);

struct SoundThread {
  SoundRequestRing ring;
  SoundExecutor execute = nullptr;
  std::thread thread;
  bool started = false;
  bool finished = false;  // the thread's finished mark
  uint64_t executed = 0;  // requests executed so far
};

// Starts the thread (once). It runs until the stop flag is set, executing
// queued requests and otherwise following the clock.
void start_sound_thread(Engine& e);

// Queues a request; false when the ring is full (the request is dropped).
// The thread picks it up within its rest step (10 ms of the clock).
bool queue_sound_request(Engine& e, SoundRequest r);

// Joins the thread once the stop flag is set.
void join_sound_thread(Engine& e);

}  // namespace nv::media
