// The interactive platform: real windows, real time. The real clock, SDL
// windows and message boxes, and the host's system facts.
#pragma once

#include <string>

#include "platform/platform.h"

namespace nv::platform {

// Whether this build has the interactive (SDL2) backend.
bool have_interactive_platform();

// On failure (no SDL2 in this build, or no display to open) returns a
// platform without a display and says why in `error`.
Platform make_interactive_platform(const std::string& title_dir, std::string& error);

// The joysticks and game controllers SDL finds attached now (0 when its
// joystick subsystem cannot start).
int count_sdl_joysticks();

}  // namespace nv::platform
