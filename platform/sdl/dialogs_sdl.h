// Message boxes and the error dialog as SDL message boxes, the input dialog
// as an engine-drawn window in `font`. `owner` tells the window the boxes
// belong to (nullptr when there is none).
#pragma once

#include <SDL.h>

#include <functional>
#include <memory>

#include "platform/dialogs.h"
#include "platform/ui_font.h"

namespace nv::platform {

std::unique_ptr<Dialogs> make_sdl_dialogs(std::shared_ptr<UiFont> font = nullptr,
                                          std::function<SDL_Window*()> owner = {});

}  // namespace nv::platform
