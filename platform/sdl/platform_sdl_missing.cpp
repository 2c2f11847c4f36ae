// The interactive platform of a build without SDL2: there is none.
#include "platform/sdl/platform_sdl.h"

namespace nv::platform {

bool have_interactive_platform() { return false; }

Platform make_interactive_platform(const std::string&, std::string& error) {
  error = "this build has no window backend (SDL2 was not found when it was configured)";
  return Platform{};
}

int count_sdl_joysticks() { return 0; }

}  // namespace nv::platform
