// The one mixer core both audio backends use: every playing voice is read
// at its frequency (linear interpolation between frames when that differs
// from the output rate, the frames themselves when it is equal), its samples
// (unsigned 8-bit or signed 16-bit) scaled by the left and right gains,
// summed in float and clipped to signed 16-bit stereo.
//
// Threads: the owner of a voice (the sound thread) writes the ring and the
// parameters; the mixer (the device callback, or the sound thread itself
// when headless) reads them. Parameters and cursors are atomics, so the
// mixer never waits for the owner. A voice's bytes are published by a
// release counter the mixer acquires before reading.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/audio.h"

namespace nv::platform {

struct VoiceCore {
  VoiceCore(const VoiceFormat& f, uint32_t frame_count);

  const VoiceFormat format;
  const uint32_t block_align;
  const uint32_t frames;  // ring length
  std::unique_ptr<uint8_t[]> data;

  // Set by the owner, read by the mixer.
  std::atomic<bool> playing{false};
  std::atomic<uint32_t> frequency;
  std::atomic<float> gain_left{1.0f};
  std::atomic<float> gain_right{1.0f};
  std::atomic<uint64_t> published{0};
  // Kept by the owner for reading back.
  std::atomic<int32_t> volume_hdb{0};
  std::atomic<int32_t> pan_hdb{0};

  // Set by the mixer, read by the owner: whole frames taken from the ring,
  // and the frame up to which the mixer may be reading (the write cursor).
  std::atomic<uint64_t> consumed{0};
  std::atomic<uint64_t> read_limit{1};

  // The mixer's own: the fraction of a frame between `consumed` and the
  // next output frame, in units of 2^-32.
  uint32_t fraction = 0;
};

// A voice's record for `bytes` bytes of a format the mixer takes; nullptr
// for any other format or for less than one frame.
std::unique_ptr<VoiceCore> make_voice_core(const VoiceFormat& f, uint32_t bytes);

class Mixer {
 public:
  explicit Mixer(uint32_t output_rate);

  uint32_t rate() const { return rate_; }

  // The caller keeps add/remove from running during mix().
  void add(VoiceCore* v);
  void remove(VoiceCore* v);
  size_t voice_count() const { return voices_.size(); }

  // Writes `frames` stereo frames (left, right) of the playing voices.
  void mix(int16_t* out, uint32_t frames);

 private:
  uint32_t rate_;
  std::vector<VoiceCore*> voices_;
  std::vector<float> acc_;
};

// Adds `frames` output frames of one voice, scaled by its gains, to `acc`
// (interleaved left, right) and advances its position. Exposed for the
// benchmark, which mixes the same voices through the platform's peer.
void mix_voice(VoiceCore& v, uint32_t output_rate, float* acc, uint32_t frames);

// Clips and rounds interleaved float samples to signed 16-bit.
void clip_to_s16(const float* acc, int16_t* out, size_t samples);

}  // namespace nv::platform
