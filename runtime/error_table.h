// Loading the title's error table, nvbin\nve.nbn ("NVER"): from offset 16,
// entries of a uint32 code and a NUL-terminated message.
#pragma once

#include <cstdint>
#include <vector>

namespace nv {

struct Engine;

// Returns 0, or -1 after the message has been shown. Before (and without) the
// table only the built-in texts exist.
int load_error_table(Engine& e);
int parse_error_table(Engine& e, std::vector<uint8_t> block);

// The ERROR command: stores the low byte of every given COM_ keyword in its
// switch. ERRORINFO only evaluates its arguments.
int error_command(Engine& e);

}  // namespace nv
