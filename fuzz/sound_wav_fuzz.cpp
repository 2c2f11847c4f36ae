// Fuzzes the WAV chunk walker, then streams what it accepts: the format
// step of loading and a few halves with an END and RESTART taken from the
// input, into a headless voice.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "media/sound_channel.h"
#include "media/sound_stream.h"
#include "media/wav_chunks.h"
#include "platform/headless/audio_headless.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  nv::media::WavLayout w;
  if (nv::media::parse_wav(std::span<const uint8_t>(data, size), w) != 0) return 0;
  if (w.data_offset + uint64_t(w.data_size) > size) __builtin_trap();
  static std::string error;
  static auto audio = nv::platform::make_headless_audio(8000, "", error);
  nv::media::SoundChannel ch;
  ch.format = nv::media::SoundFormat::wav;
  ch.file_data = std::make_shared<const std::vector<uint8_t>>(data, data + size);
  if (nv::media::create_playback(ch, *audio) < 0) return 0;
  // Positions from the last bytes of the input, in and outside the file.
  const int32_t a = size > 2 ? int8_t(data[size - 1]) * 37 : 0;
  const int32_t b = size > 2 ? int8_t(data[size - 2]) * 53 : 0;
  ch.end = int32_t(std::min<int64_t>(ch.total_time, 500 + b));
  ch.restart = a;
  ch.loops_remaining = size % 3;
  nv::media::seek_sound(ch, b);
  for (int half = 0; half < 3; ++half) {
    ch.write_offset = half % 2 ? ch.buffer_size / 2 : 0;
    if (nv::media::fill_half(ch) < 0) break;
  }
  nv::media::release_playback(ch, true);
  return 0;
}
