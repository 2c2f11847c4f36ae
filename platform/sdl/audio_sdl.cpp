#include "platform/sdl/audio_sdl.h"

#include <SDL.h>

#include "platform/audio_mixer.h"

namespace nv::platform {

namespace {

constexpr Uint16 kDeviceFrames = 1024;

class SdlAudio final : public AudioOut {
 public:
  explicit SdlAudio(uint32_t rate) : mixer_(rate) {}

  ~SdlAudio() override {
    if (device_ != 0) SDL_CloseAudioDevice(device_);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    // When no other subsystem is in use, end SDL altogether.
    if (SDL_WasInit(SDL_INIT_EVERYTHING) == 0) SDL_Quit();
  }

  bool open(std::string& error) {
    SDL_AudioSpec want{};
    want.freq = static_cast<int>(mixer_.rate());
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = kDeviceFrames;
    want.callback = &SdlAudio::callback;
    want.userdata = this;
    SDL_AudioSpec have{};
    device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (device_ == 0) {
      error = SDL_GetError();
      return false;
    }
    SDL_PauseAudioDevice(device_, 0);
    return true;
  }

  uint32_t rate() const override { return mixer_.rate(); }

  std::unique_ptr<Voice> create_voice(const VoiceFormat& f, uint32_t bytes) override {
    auto core = make_voice_core(f, bytes);
    if (!core) return nullptr;
    SDL_LockAudioDevice(device_);
    mixer_.add(core.get());
    SDL_UnlockAudioDevice(device_);
    return std::make_unique<Voice>(*this, std::move(core));
  }

  void advance_to_us(uint64_t) override {}

 protected:
  void remove_voice(VoiceCore* core) override {
    SDL_LockAudioDevice(device_);
    mixer_.remove(core);
    SDL_UnlockAudioDevice(device_);
  }

 private:
  static void SDLCALL callback(void* self, Uint8* stream, int len) {
    auto* a = static_cast<SdlAudio*>(self);
    a->mixer_.mix(reinterpret_cast<int16_t*>(stream), static_cast<uint32_t>(len) / 4);
  }

  Mixer mixer_;
  SDL_AudioDeviceID device_ = 0;
};

}  // namespace

std::unique_ptr<AudioOut> make_sdl_audio(uint32_t rate, std::string& error) {
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    error = SDL_GetError();
    return nullptr;
  }
  auto a = std::make_unique<SdlAudio>(rate);
  if (!a->open(error)) return nullptr;
  return a;
}

}  // namespace nv::platform
