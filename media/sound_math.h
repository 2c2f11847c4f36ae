// The sound engine's arithmetic as pure functions: volume, pan and pitch to
// what a voice takes, fades, and the byte positions of a seek.
#pragma once

#include <cstdint>

namespace nv::media {

constexpr int32_t kFullVolume = 256;
constexpr int32_t kCentrePan = 256;
constexpr int32_t kFilePitch = 256;

// Attenuation in hundredths of a decibel of a volume 0..256 (256 = full):
// 4000 x log10(v / 256) truncated toward zero, clamped to -10000..0; 0 and
// below give -10000.
int32_t attenuation_of_volume(int32_t v);

// Pan in hundredths of a decibel of a pan 0..512 (256 centre): the left
// half attenuates the right side as a volume would, the right half the left
// side; outside 0..512 is centre.
int32_t pan_of(int32_t p);

// Playback frequency of a pitch 0..512 for a file rate: half the rate at 0,
// the rate at 256, one and a half times it at 512 (integer arithmetic);
// outside 0..512 counts as 256.
uint32_t frequency_of_pitch(int32_t p, uint32_t rate);

// A node's volume under a parent whose effective volume is `parent`
// (256 x 256 gives 256).
inline int32_t nested_volume(int32_t own, int32_t parent) {
  return static_cast<int32_t>((int64_t(own) * parent) >> 8);
}

// The near-silent volume under a parent chain of effective volume `parent`.
inline int32_t near_silent_volume(int32_t parent) { return nested_volume(2, parent); }

// Volume units per 1024 ms that take `base` to `target` in `fade_ms` (a fade
// time of 0 completes on the next step).
int32_t fade_slope(int32_t target, int32_t base, int32_t fade_ms);

struct FadeStep {
  int32_t volume = 0;
  bool reached = false;  // the target is reached: the fade is over
};

// The volume `elapsed_ms` into a fade from `start` with `slope`, stopped at
// `target`.
FadeStep fade_step(int32_t start, int32_t slope, int64_t elapsed_ms, int32_t target);

// Milliseconds of `bytes` of PCM at `bytes_per_second` (0 without a format).
int64_t ms_of_bytes(int64_t bytes, int64_t bytes_per_second);

// Bytes of PCM in `ms` milliseconds (toward zero).
inline int64_t bytes_of_ms(int64_t ms, int64_t bytes_per_second) { return ms * bytes_per_second / 1000; }

// Rounds a byte count down to a multiple of the block align.
int64_t align_down(int64_t bytes, int64_t block_align);

// Where a seek to `t_ms` lands.
struct SeekPoint {
  int64_t t_ms = 0;            // the position sought, after the end clamp
  int64_t silence_bytes = 0;   // leading silence it adds (a negative position)
  int64_t decoded_bytes = 0;   // PCM position relative to the start of the sound
  int64_t source_ms = 0;       // the position in the source, 0 or more
  int64_t wav_offset = 0;      // byte offset into the data chunk (WAV)
};

// A position at or past the total time seeks to 10 ms before it; a negative
// one plays that much silence first. `data_size` is the WAV data chunk's.
SeekPoint seek_point(int64_t t_ms, int64_t total_ms, int64_t bytes_per_second, int64_t block_align,
                     int64_t data_size);

// Bytes the decoder asks for next: 4096 while the end is further away, else
// what is left to the end in whole frames; 0 at or past the end.
int64_t fill_request(int64_t decoded, int64_t pass_bytes, int64_t end_bytes, int64_t block_align);

}  // namespace nv::media
