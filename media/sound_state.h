// What the sound engine keeps, and the little it needs from the rest of the
// engine: the clock, the engine lock, the quit flag and a way to show the
// sound thread's message box. Kept narrow so the sound thread's cycle can be
// run and tested on its own.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "media/sound_ring.h"
#include "media/sound_tree.h"

namespace nv::platform {
class AudioOut;
class Clock;
}  // namespace nv::platform

namespace nv::media {

struct SoundHost {
  platform::Clock* clock = nullptr;
  std::recursive_mutex* lock = nullptr;  // the engine lock
  std::atomic<bool>* quit = nullptr;     // the engine quit flag
  // Shows a message box (caption and text in Shift-JIS) and returns when it
  // is closed.
  std::function<void(const std::string& caption, const std::string& text)> show_box;
};

// The sound-thread-ended flag.
constexpr int kSoundThreadNotStarted = -1;
constexpr int kSoundThreadRunning = 0;
constexpr int kSoundThreadEnded = 1;

struct SoundState {
  SoundHost host;
  platform::AudioOut* audio = nullptr;  // null: sound is disabled
  bool enabled = false;                 // the sound switch (system variable 4)
  std::string open_error;               // why the output did not open

  SoundTree tree;
  SoundRequestRing ring;

  // Read by the sound thread every cycle.
  std::atomic<bool> hold{false};             // the sound hold flag
  std::atomic<bool> window_active{true};     // the main window is active
  std::atomic<bool> background_exec{true};   // SYSTEM BACKGROUNDEXEC
  bool global_pause = false;                 // the sound thread's own

  std::thread thread;
  std::atomic<int> ended{kSoundThreadNotStarted};
  // Set only when the thread must go without its last cycle (nobody moves
  // the clock any more).
  std::atomic<bool> abandon{false};
  int internal_error = 0;  // the number that ended the sound thread, if any
};

}  // namespace nv::media
