// Sound output as a host service. A `Voice` is a looping ring of PCM bytes
// that the engine fills while the output mixes it, with the cursor contract
// the sound engine is written against:
//   - the play cursor is where the output is reading now, the write cursor
//     how far it may already have read; bytes between them must not change,
//     everything else may be rewritten;
//   - both are byte offsets inside the ring, multiples of the block align,
//     and the play cursor advances at the voice's frequency while it plays;
//   - volume and pan are in hundredths of a decibel (-10000 to 0; -10000 to
//     +10000, negative attenuating the right side, positive the left), and
//     -10000 is silence;
//   - the frequency (100 to 200000 Hz) sets how fast the ring is read.
// Both backends mix through one mixer core (platform/audio_mixer.h): the
// headless output is pulled by whoever follows the virtual clock, the SDL2
// output by the device's callback.
#pragma once

#include <cstdint>
#include <memory>

namespace nv::platform {

// PCM layouts a voice accepts: unsigned 8-bit or signed 16-bit little-endian
// samples, one or two interleaved channels.
struct VoiceFormat {
  uint16_t channels = 2;
  uint32_t rate = 44100;
  uint16_t bits = 16;
};

// Output rates.
constexpr uint32_t kDefaultSoundRate = 44100;
constexpr uint32_t kMinSoundRate = 8000;
constexpr uint32_t kMaxSoundRate = 192000;

constexpr uint32_t kMinVoiceFrequency = 100;
constexpr uint32_t kMaxVoiceFrequency = 200000;
constexpr int32_t kSilentHundredthsDb = -10000;

inline uint32_t block_align(const VoiceFormat& f) { return uint32_t(f.channels) * (f.bits / 8u); }

// 1 or 2 channels, 8 or 16 bits, 100 to 200000 frames per second.
bool voice_format_supported(const VoiceFormat& f);

// The linear gain of an attenuation in hundredths of a decibel: 1 at 0,
// exactly 0 at -10000 and below.
float gain_of_hundredths_db(int32_t hdb);

struct VoiceCore;
class AudioOut;

class Voice {
 public:
  Voice(AudioOut& owner, std::unique_ptr<VoiceCore> core);
  ~Voice();  // leaves the mix
  Voice(const Voice&) = delete;
  Voice& operator=(const Voice&) = delete;

  const VoiceFormat& format() const;
  uint32_t size() const;  // ring bytes

  // Copies `n` bytes into the ring at `offset`, wrapping at its end.
  void write(uint32_t offset, const uint8_t* bytes, uint32_t n);
  void position(uint32_t& play, uint32_t& write) const;
  // Frames the output has taken from the ring since the voice was made.
  uint64_t consumed_frames() const;

  void play();  // from the current position, looping
  void stop();  // keeps the position
  bool playing() const;
  void set_volume(int32_t hdb);
  void set_pan(int32_t hdb);
  void set_frequency(uint32_t hz);  // clamped to 100 .. 200000
  int32_t volume() const;
  int32_t pan() const;
  uint32_t frequency() const;

 private:
  void update_gains();
  AudioOut& owner_;
  std::unique_ptr<VoiceCore> core_;
};

class AudioOut {
 public:
  virtual ~AudioOut() = default;

  // Output frames per second.
  virtual uint32_t rate() const = 0;

  // A stopped voice of `bytes` bytes (rounded down to whole frames) filled
  // with silence (0x80 for 8-bit samples), at the format's own rate, full
  // volume, centred; nullptr for a format or size the mixer refuses.
  virtual std::unique_ptr<Voice> create_voice(const VoiceFormat& f, uint32_t bytes) = 0;

  // The headless output mixes every frame up to clock time `t_us` here; a
  // device that pulls by itself does nothing.
  virtual void advance_to_us(uint64_t t_us) = 0;

 protected:
  friend class Voice;
  // Takes a voice's core out of the mix before it is freed.
  virtual void remove_voice(VoiceCore* core) = 0;
};

}  // namespace nv::platform
