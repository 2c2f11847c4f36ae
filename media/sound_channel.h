// `SoundChannel`: what every node of the sound tree carries (sets too), and
// the constants of the sound engine. The sound thread writes these fields
// under the engine lock; the script thread writes only the E flag, the loop
// limit and the format (under the lock too) and reads the rest for
// SOUNDINFO.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "media/wav_chunks.h"
#include "platform/audio.h"

namespace nv::media {

enum class PlayState : int8_t { idle = 0, loaded = 1, fading_in = 2, steady = 3, stopping = 4 };

enum class SoundFormat : int8_t { none = 0, ogg = 1, wav = 2 };

// The whole file of a sound, read once by the script thread.
using SoundBytes = std::shared_ptr<const std::vector<uint8_t>>;

constexpr int64_t kKeepAliveKey = 999999999;  // plays the built-in silent WAV
constexpr int64_t kSoundNodeKey = 1;          // nodes made by SOUND
constexpr uint32_t kDecodeBlock = 4096;       // decoder request, stream slack and carry size

struct SoundChannel {
  std::string file_name;       // the resolved name (any length)
  SoundFormat format = SoundFormat::none;
  uint8_t e = 1;               // enable flag
  PlayState state = PlayState::idle;
  uint8_t pause = 0;           // set by SOUND PAUSE
  int32_t loop_limit = 0;      // LOOP as set: passes to play, 0 endless
  int32_t loop_count = 0;      // passes completed (LOOPCOUNT)
  int32_t loops_remaining = 0; // for the decoder: 0 endless, 1 this is the last pass
  int64_t played_bytes = 0;    // since the start position
  int64_t total_time = 0;      // ms
  int32_t start = 0;           // ms, may be negative (leading silence)
  int32_t restart = 0;         // ms, where each further pass starts
  bool paused = false;         // held: no voice, `pause_stamp` valid
  int64_t pause_stamp = 0;     // clock ms when it was held
  int32_t end = 0;             // ms
  int32_t pan = 256;           // 0..512
  int32_t pitch = 0;           // 0..512 (256 once a file is loaded)
  int32_t volume = 256;        // current volume 0..256
  int32_t fade_start_volume = 0;
  int32_t fade_target = 256;
  int32_t previous_target = 256;
  int32_t fade_time = 0;       // ms
  int32_t fade_slope = 0;      // volume units per 1024 ms
  int64_t fade_start_time = 0; // clock ms
  bool fade_ended = false;     // the fade reached its target

  SoundBytes kept;             // the named file's bytes, kept while the name is
  SoundBytes file_data;        // the bytes being played (present while loaded)
  std::vector<uint8_t> stream; // half a voice plus kDecodeBlock
  std::vector<uint8_t> carry;  // decoded bytes beyond the last half
  uint32_t carry_count = 0;
  uint32_t write_offset = 0;   // 0 or half the voice
  uint64_t last_consumed = 0;  // voice frames consumed at the last look
  uint8_t last_half = 1;       // 1 or 2
  int64_t decoded_bytes = 0;   // PCM position relative to the sound's start (negative during leading silence)
  int64_t source_position = 0; // Ogg: PCM sample; WAV: byte offset into the data
  int64_t seek_ms = -1;        // Ogg: a time to seek to with the next fill's stream (-1: none)
  int64_t pending_silence = 0; // silent bytes still to come before source data
  int64_t bytes_per_second = 0;
  std::unique_ptr<platform::Voice> voice;
  uint32_t wav_data_offset = 0;
  uint32_t wav_data_size = 0;
  uint32_t buffer_size = 0;    // two seconds of PCM
  WavFormat wave;              // as handed to the voice (tag 1, PCM)

  // The decoder's passes so far and whether it has run dry: a sound whose
  // last pass the decoder has padded ends when playback finishes that pass.
  int32_t decoder_passes = 0;
  bool drained = false;
  // A voice about to start: its first half is decoded at the end of the
  // cycle (outside the lock), then it plays.
  bool first_half_pending = false;
};

// Request kinds (0 is never issued).
enum class SoundRequestKind : uint8_t {
  none = 0,
  load = 1,
  play = 2,
  pause = 3,
  stop = 4,
  set_volume = 5,
  set_fade_target = 6,
  set_loop = 7,
  set_end = 8,
  set_start = 9,
  set_restart = 10,
  set_pan = 11,
  set_pitch = 12,
  apply_volume = 13,  // re-applies the current volume (a changed E flag)
  release = 14,
};

// The built-in silent WAV of the keep-alive sound: 1930 bytes, 10.6 ms of
// 16-bit stereo silence at 44100 Hz.
const std::vector<uint8_t>& silent_wav();

}  // namespace nv::media
