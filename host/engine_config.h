// The title configuration (nvbin\nvcfg.nbn) and the user settings
// (nvcfg.dat) as the engine keeps them; their layouts are in formats/.
#pragma once

#include "formats/title_config.h"
#include "formats/user_settings.h"

namespace nv {

struct Engine;

// Reads nvbin\nvcfg.nbn through the file loader into e.config and reports
// its errors. Returns 0 or -1.
int load_engine_config(Engine& e);

}  // namespace nv
