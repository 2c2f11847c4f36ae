#include "media/sound_math.h"

#include <algorithm>
#include <cmath>

namespace nv::media {

namespace {
constexpr int32_t kSilent = -10000;
constexpr int64_t kDecodeBlock = 4096;
}  // namespace

int32_t attenuation_of_volume(int32_t v) {
  if (v <= 0) return kSilent;
  const double a = std::trunc(4000.0 * std::log10(v / 256.0));
  return static_cast<int32_t>(std::clamp(a, double(kSilent), 0.0));
}

int32_t pan_of(int32_t p) {
  if (p < 0 || p > 512) return 0;
  if (p <= 256) return attenuation_of_volume(p);
  return -attenuation_of_volume(512 - p);
}

uint32_t frequency_of_pitch(int32_t p, uint32_t rate) {
  if (p < 0 || p > 512) p = kFilePitch;
  const int64_t f = int64_t(rate) + int64_t(p - 256) * int64_t(rate / 2) / 256;
  return static_cast<uint32_t>(f);
}

int32_t fade_slope(int32_t target, int32_t base, int32_t fade_ms) {
  const int64_t d = (int64_t(target) - base) * 1024;
  return static_cast<int32_t>(fade_ms > 0 ? d / fade_ms : d);
}

FadeStep fade_step(int32_t start, int32_t slope, int64_t elapsed_ms, int32_t target) {
  const int64_t v = int64_t(start) + elapsed_ms * slope / 1024;
  FadeStep s;
  if ((slope < 0 && v <= target) || (slope >= 0 && v >= target)) {
    s.volume = target;
    s.reached = true;
  } else {
    s.volume = static_cast<int32_t>(v);
  }
  return s;
}

int64_t ms_of_bytes(int64_t bytes, int64_t bytes_per_second) {
  return bytes_per_second > 0 ? bytes * 1000 / bytes_per_second : 0;
}

int64_t align_down(int64_t bytes, int64_t block_align) {
  if (block_align <= 1) return bytes;
  const int64_t r = bytes % block_align;
  return r < 0 ? bytes - r - block_align : bytes - r;
}

SeekPoint seek_point(int64_t t_ms, int64_t total_ms, int64_t bytes_per_second, int64_t block_align,
                     int64_t data_size) {
  SeekPoint s;
  if (t_ms >= total_ms) t_ms = total_ms - 10;
  s.t_ms = t_ms;
  if (t_ms < 0) s.silence_bytes = align_down(bytes_of_ms(-t_ms, bytes_per_second), block_align);
  s.decoded_bytes = bytes_of_ms(t_ms, bytes_per_second);
  s.source_ms = std::max<int64_t>(t_ms, 0);
  s.wav_offset = align_down(bytes_of_ms(s.source_ms, bytes_per_second), block_align);
  if (s.wav_offset >= data_size) s.wav_offset = std::max<int64_t>(align_down(data_size, block_align) - block_align, 0);
  return s;
}

int64_t fill_request(int64_t decoded, int64_t pass_bytes, int64_t end_bytes, int64_t block_align) {
  const int64_t at = decoded + pass_bytes;
  if (at + kDecodeBlock < end_bytes) return kDecodeBlock;
  return std::max<int64_t>(align_down(end_bytes - at, block_align), 0);
}

}  // namespace nv::media
