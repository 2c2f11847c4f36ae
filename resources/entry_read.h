// Reading one pack entry whole: bounds checks against the pack file,
// decompression, the checksum and the repair of a damaged entry.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace nv {
struct Engine;
struct PackEntry;
}  // namespace nv

namespace nv::res {

// Reads global entry `entry` into `out`; `name` is the name the caller
// asked for (messages, log). Returns 0, -2 (damaged: 104100, 900040 or
// 106010 reported) or -3 (pack cannot be opened, unknown compression:
// 901040; memory: 104030).
int read_pack_entry(Engine& e, std::string_view name, const PackEntry& entry, std::vector<uint8_t>& out);

}  // namespace nv::res
