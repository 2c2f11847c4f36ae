// Message boxes and the error dialog as SDL message boxes.
#pragma once

#include <memory>

#include "platform/dialogs.h"

namespace nv::platform {

std::unique_ptr<Dialogs> make_sdl_dialogs();

}  // namespace nv::platform
