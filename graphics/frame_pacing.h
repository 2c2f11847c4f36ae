// Frame pacing: holds the configured frame rate with sleeps on the engine's
// clock, decides when the engine is so late that the next frame's drawing is
// skipped, and counts paced and drawn frames per second.
#pragma once

#include <cstdint>

namespace nv::platform {
class Clock;
}  // namespace nv::platform

namespace nv::gfx {

struct FramePacing {
  int32_t rate = 60;         // frames per second
  bool skip_switch = true;   // FPS SKIP
  uint32_t accumulator = 0;  // 16.16 ms; only the fraction carries between frames
  uint32_t reference = 0;    // deadline of the previous frame (ms of the engine clock)
  uint32_t frame_time = 0;   // when the current frame started
  bool skip_next = false;    // the last pacing asked to skip the next frame's drawing

  // Per-second counters.
  int32_t paced = 0;         // frame steps in the current second
  int32_t drawn = 0;         // presented frames in the current second
  int32_t last_paced = 0;    // the values of the last completed second
  int32_t last_drawn = 0;
  uint32_t count_start = 0;  // start of the current count (ms)
};

// The period of the next frame in whole milliseconds, carrying the 16.16
// fraction: 16, 17, 17, 16, 17, 17 ... at 60 frames per second.
uint32_t next_period(FramePacing& p);

// Paces one frame: sleeps until its deadline, or measures how late it is.
// Returns true when the next frame's composition and presentation are to be
// skipped. A lateness of 250 ms or more counts as none (no catch-up after a
// stall).
bool pace_frame(FramePacing& p, platform::Clock& clock);

// The start of the frame timing and of the counts (start-up).
void start_pacing(FramePacing& p, uint32_t now_ms);

// An image load took time that must not count as lateness.
inline void note_image_loaded(FramePacing& p, uint32_t now_ms) { p.reference = now_ms; }

// FPS SET: a new rate; the current counts become the last second's and a
// new count starts now.
void set_frame_rate(FramePacing& p, int32_t rate, uint32_t now_ms);

}  // namespace nv::gfx
