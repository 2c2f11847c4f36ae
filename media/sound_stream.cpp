#include "media/sound_stream.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "media/ogg_memory.h"
#include "media/sound_math.h"
#include "media/sound_tree.h"
#include "media/wav_chunks.h"
#include "platform/audio.h"

namespace nv::media {

namespace {

// Internal error numbers by format: Ogg, WAV.
struct BufferErrors {
  int carry_present, carry_alloc, stream_present, stream_alloc, voice;
};
constexpr BufferErrors kOggBufferErrors{1060, 1070, 1080, 1090, 1120};
constexpr BufferErrors kWavBufferErrors{10500, 10510, 10520, 10530, 10560};

constexpr int kErrFileDataPresent = 1010;
constexpr int kErrFileUnreadable = 1020;
constexpr int kErrOggSeek = 2010;
constexpr int kErrFillOpen = 3010;
constexpr int kErrFillSeek = 3020;
constexpr int kErrFillWrite = 3030;
constexpr int kErrRestartSeek = 4030;
constexpr int kMinOggRead = 32;

uint8_t silence_byte(const SoundChannel& ch) { return ch.wave.bits == 8 ? 0x80 : 0x00; }

bool allocate(std::vector<uint8_t>& v, size_t n, uint8_t fill) {
  try {
    v.assign(n, fill);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

int read_format(SoundChannel& ch) {
  const std::vector<uint8_t>& file = *ch.file_data;
  if (ch.format == SoundFormat::ogg) {
    OggFacts f;
    if (int r = probe_ogg(file, f); r != 0) return -r;
    ch.total_time = f.total_ms;
    const auto channels = static_cast<uint16_t>(f.channels > 0 && f.channels < 65536 ? f.channels : 0);
    const auto rate = static_cast<uint32_t>(f.rate > 0 ? f.rate : 0);
    ch.wave = WavFormat{1, channels, rate, uint32_t(2u * channels * rate), uint16_t(2u * channels), 16};
    return 1;
  }
  WavLayout w;
  if (int r = parse_wav(file, w); r != 0) return -r;
  const WavFormat& f = w.format;
  ch.wave = WavFormat{1, f.channels, f.rate, uint32_t(f.block_align) * f.rate, f.block_align, f.bits};
  ch.wav_data_offset = w.data_offset;
  ch.wav_data_size = w.data_size;
  ch.total_time = static_cast<int64_t>(double(w.data_size) / (double(f.block_align) * f.rate) * 1000.0);
  return 1;
}

}  // namespace

int create_playback(SoundChannel& ch, platform::AudioOut& audio) {
  if (!ch.file_data) return -kErrFileUnreadable;
  if (int r = read_format(ch); r < 0) return r;
  const BufferErrors& err = ch.format == SoundFormat::ogg ? kOggBufferErrors : kWavBufferErrors;
  ch.bytes_per_second = int64_t(ch.wave.block_align) * ch.wave.rate;
  // Two seconds; a format the voices cannot take (too many channels, an
  // absurd rate) is refused by the output below.
  const int64_t size = 2 * ch.bytes_per_second;
  ch.buffer_size = static_cast<uint32_t>(std::min<int64_t>(size, int64_t(1) << 30));
  if (!ch.carry.empty()) return -err.carry_present;
  if (!allocate(ch.carry, kDecodeBlock, 0)) return -err.carry_alloc;
  ch.carry_count = 0;
  if (!ch.stream.empty()) return -err.stream_present;
  if (!allocate(ch.stream, ch.buffer_size / 2 + kDecodeBlock, silence_byte(ch))) return -err.stream_alloc;
  const platform::VoiceFormat vf{ch.wave.channels, ch.wave.rate, ch.wave.bits};
  ch.voice = size == ch.buffer_size ? audio.create_voice(vf, ch.buffer_size) : nullptr;
  if (!ch.voice) return -err.voice;
  ch.last_consumed = 0;
  return 1;
}

int load_sound(SoundNode& node, platform::AudioOut& audio) {
  SoundChannel& ch = node.ch;
  if (ch.file_data) return -kErrFileDataPresent;
  if (node.z == kKeepAliveKey) {
    static const SoundBytes silent = std::make_shared<const std::vector<uint8_t>>(silent_wav());
    ch.file_data = silent;
  } else {
    if (!ch.kept) return -kErrFileUnreadable;
    ch.file_data = ch.kept;
  }
  if (int r = create_playback(ch, audio); r < 0) return r;
  ch.end = static_cast<int32_t>(std::min<int64_t>(ch.total_time, INT32_MAX));
  return 1;
}

int seek_sound(SoundChannel& ch, int64_t t_ms, OggVorbis_File* open) {
  const SeekPoint sp =
      seek_point(t_ms, ch.total_time, ch.bytes_per_second, ch.wave.block_align, ch.wav_data_size);
  ch.pending_silence += sp.silence_bytes;
  ch.decoded_bytes = sp.decoded_bytes;
  if (ch.format != SoundFormat::ogg) {
    ch.source_position = sp.wav_offset;
    return 1;
  }
  if (open) {
    if (ov_time_seek(open, double(sp.source_ms) / 1000.0) != 0) return -kErrRestartSeek;
    ch.source_position = ov_pcm_tell(open);
    ch.seek_ms = -1;
    return 1;
  }
  // The next fill opens the stream anyway: it seeks there.
  ch.seek_ms = sp.source_ms;
  return 1;
}

int fill_half(SoundChannel& ch) {
  if (!ch.voice || ch.stream.empty() || ch.carry.empty()) return -kErrFillWrite;
  const uint32_t half = ch.buffer_size / 2;
  const int64_t align = ch.wave.block_align;
  const uint8_t quiet = silence_byte(ch);
  uint8_t* buf = ch.stream.data();
  std::memcpy(buf, ch.carry.data(), ch.carry_count);
  int64_t produced = ch.carry_count;
  int64_t pass = 0;
  ch.carry_count = 0;

  const bool ogg = ch.format == SoundFormat::ogg;
  OggStream stream;
  if (ogg) {
    if (stream.open(*ch.file_data) != 0) return -kErrFillOpen;
    if (ch.seek_ms >= 0) {
      if (ov_time_seek(stream.get(), double(ch.seek_ms) / 1000.0) != 0) return -kErrOggSeek;
      ch.seek_ms = -1;
    } else if (ov_pcm_seek(stream.get(), ch.source_position) != 0) {
      return -kErrFillSeek;
    }
  }
  // Whether no source data has come since the last restart: such a pass
  // would come up empty every time, so it ends the sound instead.
  bool pass_empty = false;
  while (produced < half) {
    if (ch.pending_silence > 0) {
      const int64_t n = std::min<int64_t>(ch.pending_silence, half - produced);
      std::memset(buf + produced, quiet, size_t(n));
      ch.pending_silence -= n;
      produced += n;
      pass += n;
      continue;
    }
    const int64_t end_bytes = bytes_of_ms(ch.end, ch.bytes_per_second);
    const int64_t want = fill_request(ch.decoded_bytes, pass, end_bytes, align);
    int64_t got = 0;
    if (ogg) {
      if (want >= kMinOggRead) {
        int section = 0;
        const long r = ov_read(stream.get(), reinterpret_cast<char*>(buf + produced), int(want), 0, 2, 1, &section);
        if (r < 0) {
          std::vector<uint8_t>().swap(ch.stream);
          return -ogg_read_error(r);
        }
        got = r;
      }
    } else {
      const int64_t left = std::max<int64_t>(int64_t(ch.wav_data_size) - ch.source_position, 0);
      got = std::min(want, left);
      if (got > 0) {
        std::memcpy(buf + produced, ch.file_data->data() + ch.wav_data_offset + ch.source_position, size_t(got));
        ch.source_position += got;
      }
    }
    if (got > 0) {
      produced += got;
      pass += got;
      pass_empty = false;
      continue;
    }
    // The end of a pass.
    if (ch.loops_remaining == 1 || pass_empty) {
      if (pass_empty) --ch.decoder_passes;
      std::memset(buf + produced, quiet, size_t(half - produced));
      produced = half;
      ch.drained = true;
      break;
    }
    ch.loops_remaining = std::max(ch.loops_remaining - 1, 0);
    if (int r = seek_sound(ch, ch.restart, ogg ? stream.get() : nullptr); r < 0) return ogg ? -kErrRestartSeek : r;
    pass = 0;
    pass_empty = true;
    ++ch.decoder_passes;
  }
  ch.decoded_bytes += pass;
  if (ogg) ch.source_position = ov_pcm_tell(stream.get());
  if (produced > half) {
    ch.carry_count = static_cast<uint32_t>(produced - half);
    std::memcpy(ch.carry.data(), buf + half, ch.carry_count);
  }
  ch.voice->write(ch.write_offset, buf, half);
  return 1;
}

void release_playback(SoundChannel& ch, bool with_data) {
  ch.first_half_pending = false;
  ch.seek_ms = -1;
  if (ch.voice) ch.voice->stop();
  ch.voice.reset();
  std::vector<uint8_t>().swap(ch.stream);
  std::vector<uint8_t>().swap(ch.carry);
  ch.carry_count = 0;
  if (with_data) ch.file_data.reset();
}

}  // namespace nv::media
