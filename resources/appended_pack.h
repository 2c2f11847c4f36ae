// Detection of a pack appended to the engine executable, read through
// ranges of the file (the layout: formats/appended_pack.h).
#pragma once

#include <string>

#include "resources/resource_state.h"

namespace nv {
struct Engine;
}  // namespace nv

namespace nv::res {

// Reads the executable at the host path `exe_path`. A missing or unreadable
// file, or one without the trailer, is an executable without a pack.
AppendedPack detect_appended_pack(const std::string& exe_path);

// Detects and records the result in the engine; packed-executable mode
// switches release mode on.
void apply_appended_pack(Engine& e, const std::string& exe_path);

}  // namespace nv::res
