// Fixed system facts for reproducible headless runs (documented in
// docs/usage.md); only the processor's features are the host's.
#pragma once

#include <memory>

#include "platform/system_info.h"

namespace nv::platform {

std::unique_ptr<SystemInfo> make_fixed_system_info(DesktopSize desktop = {1920, 1080});

}  // namespace nv::platform
