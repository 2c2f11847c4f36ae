#include "platform/headless/audio_headless.h"

#include <algorithm>
#include <vector>

#include "platform/audio_mixer.h"
#include "platform/headless/wav_out.h"

namespace nv::platform {

namespace {

constexpr uint32_t kChunkFrames = 4096;

class HeadlessAudio final : public AudioOut {
 public:
  explicit HeadlessAudio(uint32_t rate) : mixer_(rate), buffer_(size_t(kChunkFrames) * 2) {}
  ~HeadlessAudio() override { out_.close(); }

  bool open_file(const std::string& path) { return out_.open(path, mixer_.rate()); }

  uint32_t rate() const override { return mixer_.rate(); }

  std::unique_ptr<Voice> create_voice(const VoiceFormat& f, uint32_t bytes) override {
    auto core = make_voice_core(f, bytes);
    if (!core) return nullptr;
    mixer_.add(core.get());
    return std::make_unique<Voice>(*this, std::move(core));
  }

  void advance_to_us(uint64_t t_us) override {
    const uint64_t target = t_us / 1000000 * rate() + t_us % 1000000 * rate() / 1000000;
    while (mixed_ < target) {
      const uint32_t n = static_cast<uint32_t>(std::min<uint64_t>(target - mixed_, kChunkFrames));
      mixer_.mix(buffer_.data(), n);
      out_.append(buffer_.data(), n);
      mixed_ += n;
    }
  }

 protected:
  void remove_voice(VoiceCore* core) override { mixer_.remove(core); }

 private:
  Mixer mixer_;
  WavOut out_;
  std::vector<int16_t> buffer_;
  uint64_t mixed_ = 0;
};

}  // namespace

std::unique_ptr<AudioOut> make_headless_audio(uint32_t rate, const std::string& wav_path, std::string& error) {
  if (rate < kMinSoundRate || rate > kMaxSoundRate) {
    error = "the sound rate must lie between 8000 and 192000";
    return nullptr;
  }
  auto a = std::make_unique<HeadlessAudio>(rate);
  if (!wav_path.empty() && !a->open_file(wav_path)) {
    error = "cannot write " + wav_path;
    return nullptr;
  }
  return a;
}

}  // namespace nv::platform
