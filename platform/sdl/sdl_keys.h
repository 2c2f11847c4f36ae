// SDL scancodes as Windows virtual-key codes (0 for keys without one).
#pragma once

#include <SDL.h>

#include <cstdint>

namespace nv::platform {

uint8_t virtual_key_of(SDL_Scancode sc);

}  // namespace nv::platform
