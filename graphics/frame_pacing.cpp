#include "graphics/frame_pacing.h"

#include "platform/clock.h"

namespace nv::gfx {

namespace {

constexpr uint32_t kStallMs = 250;

void count_second(FramePacing& p, uint32_t now) {
  if (now / 1000 != p.count_start / 1000) {
    p.last_paced = p.paced;
    p.last_drawn = p.drawn;
    p.paced = 0;
    p.drawn = 0;
    p.count_start = now;
  }
  ++p.paced;
}

}  // namespace

uint32_t next_period(FramePacing& p) {
  const uint32_t rate = p.rate > 0 ? static_cast<uint32_t>(p.rate) : 60u;
  const uint32_t period16 = (1000u * 65536u) / rate;
  p.accumulator = (p.accumulator & 0xFFFFu) + period16;
  return p.accumulator >> 16;
}

bool pace_frame(FramePacing& p, platform::Clock& clock) {
  const uint32_t period = next_period(p);
  const uint32_t now = clock.now_ms();
  const uint32_t elapsed = now - p.reference;
  bool skip = false;
  if (elapsed < period) {
    p.frame_time = now;
    clock.sleep_ms(period - elapsed);
    p.reference += period;
    p.frame_time = clock.now_ms();
  } else {
    uint32_t late = elapsed - period;
    if (late >= kStallMs) late = 0;
    skip = p.skip_switch && late >= 3 * period;
    // The deadline stays on the frame grid: the late frame's deadline was
    // `late` ms ago, so the following frames catch up (drawing is skipped
    // while they do) instead of drifting further behind.
    p.reference = now - late;
    p.frame_time = now;
  }
  count_second(p, clock.now_ms());
  p.skip_next = skip;
  return skip;
}

void start_pacing(FramePacing& p, uint32_t now_ms) {
  p.reference = now_ms;
  p.frame_time = now_ms;
  p.count_start = now_ms;
}

void set_frame_rate(FramePacing& p, int32_t rate, uint32_t now_ms) {
  p.rate = rate;
  p.last_paced = p.paced;
  p.last_drawn = p.drawn;
  p.paced = 0;
  p.drawn = 0;
  p.count_start = now_ms;
}

}  // namespace nv::gfx
