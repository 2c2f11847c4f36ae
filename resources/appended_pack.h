// Detection of a pack appended to the engine executable. The offset at
// which the appended data starts is carried by the 16-byte trailer at the
// end of the file ("NVRES201", uint32 offset, uint32 0); at that offset lies
// the "NVER" header with the pack's offset and the screen-saver flag.
#pragma once

#include <string>

#include "resources/resource_state.h"

namespace nv {

struct Engine;

// Reads the executable at the host path `exe_path`. A missing or unreadable
// file, or one without the trailer, is an executable without a pack.
AppendedPack detect_appended_pack(const std::string& exe_path);

// Detects and records the result in the engine; packed-executable mode
// switches release mode on.
void apply_appended_pack(Engine& e, const std::string& exe_path);

}  // namespace nv
