// The host's own system facts: memory from sysinfo, the processor count,
// the processor's vector features; the desktop size is supplied by the
// display backend.
#pragma once

#include <memory>

#include "platform/system_info.h"

namespace nv::platform {

std::unique_ptr<SystemInfo> make_host_system_info(DesktopSize desktop);

// The vector instruction sets of the processor this process runs on.
CpuFeatures detect_cpu_features();

}  // namespace nv::platform
