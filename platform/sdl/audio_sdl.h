// The SDL2 sound output: an audio device whose callback runs the mixer core.
// The callback takes no engine lock: it reads the voices' atomics only.
// Voices enter and leave the mix under SDL's device lock, which is held only
// for that list change.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/audio.h"

namespace nv::platform {

// Opens the default device for 16-bit stereo at `rate` (SDL converts when
// the device wants something else) and starts it. nullptr, with SDL's reason
// in `error`, when no device can be opened.
std::unique_ptr<AudioOut> make_sdl_audio(uint32_t rate, std::string& error);

}  // namespace nv::platform
