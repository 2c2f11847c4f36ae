// The headless sound output: the mixer core pulled in step with the virtual
// clock. Whoever follows the clock (the sound thread, at the start of each
// of its cycles) calls advance_to_us(now); every frame up to that time is
// mixed there and then, so the same run always gives the same samples. The
// mix can be written to a 16-bit stereo WAV file.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/audio.h"

namespace nv::platform {

// `wav_path` empty: the mix is made and dropped. Returns nullptr with the
// reason in `error` when the file cannot be created or the rate is outside
// 8000 to 192000.
std::unique_ptr<AudioOut> make_headless_audio(uint32_t rate, const std::string& wav_path, std::string& error);

}  // namespace nv::platform
