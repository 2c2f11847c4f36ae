#include "platform/audio_mixer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace nv::platform {

namespace {

constexpr float kFractionScale = 1.0f / 4294967296.0f;

template <int Bits>
inline float sample_at(const uint8_t* p) {
  if constexpr (Bits == 8) {
    return static_cast<float>((int(p[0]) - 128) * 256);
  } else {
    return static_cast<float>(static_cast<int16_t>(uint16_t(p[0]) | uint16_t(p[1]) << 8));
  }
}

// The voice's frames from `pos` on, `n` output frames at `step` source
// frames each (32.32 fixed point). Returns the whole frames advanced.
template <int Channels, int Bits>
uint64_t mix_frames(const VoiceCore& v, uint64_t pos, uint32_t& fraction, uint64_t step, float gl, float gr,
                    float* acc, uint32_t n) {
  constexpr uint32_t kBlock = Channels * (Bits / 8);
  constexpr uint32_t kSampleBytes = Bits / 8;
  const uint8_t* data = v.data.get();
  const uint32_t frames = v.frames;
  uint32_t idx = static_cast<uint32_t>(pos % frames);
  uint64_t frac = fraction;
  uint64_t advanced = 0;
  if (step == (uint64_t(1) << 32) && frac == 0) {
    // The voice runs at the output rate: its frames exactly.
    for (uint32_t k = 0; k < n; ++k) {
      const uint8_t* p = data + size_t(idx) * kBlock;
      const float l = sample_at<Bits>(p);
      const float r = Channels == 2 ? sample_at<Bits>(p + kSampleBytes) : l;
      acc[2 * k] += l * gl;
      acc[2 * k + 1] += r * gr;
      if (++idx == frames) idx = 0;
    }
    fraction = 0;
    return n;
  }
  for (uint32_t k = 0; k < n; ++k) {
    const uint32_t next = idx + 1 == frames ? 0 : idx + 1;
    const uint8_t* p0 = data + size_t(idx) * kBlock;
    const uint8_t* p1 = data + size_t(next) * kBlock;
    const float t = static_cast<float>(frac) * kFractionScale;
    const float l0 = sample_at<Bits>(p0);
    const float l = l0 + (sample_at<Bits>(p1) - l0) * t;
    float r = l;
    if constexpr (Channels == 2) {
      const float r0 = sample_at<Bits>(p0 + kSampleBytes);
      r = r0 + (sample_at<Bits>(p1 + kSampleBytes) - r0) * t;
    }
    acc[2 * k] += l * gl;
    acc[2 * k + 1] += r * gr;
    frac += step;
    const uint64_t whole = frac >> 32;
    frac &= 0xFFFFFFFFu;
    advanced += whole;
    idx += static_cast<uint32_t>(whole);
    if (idx >= frames) idx %= frames;
  }
  fraction = static_cast<uint32_t>(frac);
  return advanced;
}

}  // namespace

bool voice_format_supported(const VoiceFormat& f) {
  return (f.channels == 1 || f.channels == 2) && (f.bits == 8 || f.bits == 16) && f.rate >= kMinVoiceFrequency &&
         f.rate <= kMaxVoiceFrequency;
}

float gain_of_hundredths_db(int32_t hdb) {
  if (hdb <= kSilentHundredthsDb) return 0.0f;
  if (hdb >= 0) return 1.0f;
  return static_cast<float>(std::pow(10.0, hdb / 2000.0));
}

VoiceCore::VoiceCore(const VoiceFormat& f, uint32_t frame_count)
    : format(f), block_align(platform::block_align(f)), frames(frame_count),
      data(new uint8_t[size_t(frame_count) * platform::block_align(f)]), frequency(f.rate) {
  std::memset(data.get(), f.bits == 8 ? 0x80 : 0, size_t(frames) * block_align);
}

std::unique_ptr<VoiceCore> make_voice_core(const VoiceFormat& f, uint32_t bytes) {
  if (!voice_format_supported(f) || bytes / block_align(f) == 0) return nullptr;
  return std::make_unique<VoiceCore>(f, bytes / block_align(f));
}

Mixer::Mixer(uint32_t output_rate) : rate_(output_rate) {}

void Mixer::add(VoiceCore* v) { voices_.push_back(v); }

void Mixer::remove(VoiceCore* v) { voices_.erase(std::remove(voices_.begin(), voices_.end(), v), voices_.end()); }

void mix_voice(VoiceCore& v, uint32_t output_rate, float* acc, uint32_t frames) {
  if (frames == 0 || !v.playing.load(std::memory_order_acquire)) return;
  // Every write before the last publication is visible from here on.
  (void)v.published.load(std::memory_order_acquire);
  const uint64_t step = (uint64_t(v.frequency.load(std::memory_order_relaxed)) << 32) / output_rate;
  const float gl = v.gain_left.load(std::memory_order_relaxed);
  const float gr = v.gain_right.load(std::memory_order_relaxed);
  const uint64_t pos = v.consumed.load(std::memory_order_relaxed);
  // The furthest frame this pass may read: the last position plus the next
  // frame that interpolation looks at.
  const uint64_t span = (uint64_t(v.fraction) + uint64_t(frames - 1) * step) >> 32;
  v.read_limit.store(pos + span + 2, std::memory_order_release);
  uint64_t advanced = 0;
  const bool stereo = v.format.channels == 2;
  if (v.format.bits == 8) {
    advanced = stereo ? mix_frames<2, 8>(v, pos, v.fraction, step, gl, gr, acc, frames)
                      : mix_frames<1, 8>(v, pos, v.fraction, step, gl, gr, acc, frames);
  } else {
    advanced = stereo ? mix_frames<2, 16>(v, pos, v.fraction, step, gl, gr, acc, frames)
                      : mix_frames<1, 16>(v, pos, v.fraction, step, gl, gr, acc, frames);
  }
  v.consumed.store(pos + advanced, std::memory_order_release);
  v.read_limit.store(pos + advanced + (v.fraction != 0 ? 1 : 0), std::memory_order_release);
}

void clip_to_s16(const float* acc, int16_t* out, size_t samples) {
  for (size_t i = 0; i < samples; ++i) {
    const float x = acc[i];
    int32_t s;
    if (x >= 32767.0f) {
      s = 32767;
    } else if (x <= -32768.0f) {
      s = -32768;
    } else {
      s = static_cast<int32_t>(x >= 0.0f ? x + 0.5f : x - 0.5f);
    }
    out[i] = static_cast<int16_t>(s);
  }
}

void Mixer::mix(int16_t* out, uint32_t frames) {
  acc_.assign(size_t(frames) * 2, 0.0f);
  for (VoiceCore* v : voices_) mix_voice(*v, rate_, acc_.data(), frames);
  clip_to_s16(acc_.data(), out, size_t(frames) * 2);
}

}  // namespace nv::platform
