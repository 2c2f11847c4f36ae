// SDL2 windows: one SDL window, renderer and streaming texture per slot;
// a shaped window is remade as one of SDL's shaped windows.
// Full screen is desktop full screen with the client picture scaled to fit,
// its aspect kept (letterboxed); mouse positions are mapped back through
// the scaling.
#pragma once

#include <memory>

#include "platform/display.h"

namespace nv::platform {

// Opens SDL's video subsystem; nullptr (with the reason in `error`) when no
// display can be opened.
std::unique_ptr<Display> make_sdl_display(std::string& error);

}  // namespace nv::platform
