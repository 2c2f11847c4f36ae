// Repairing a damaged pack entry while it is read: the repair record
// (formats/repair_record.h) is read from the pack behind the entry's data.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace nv {
struct Engine;
}  // namespace nv

namespace nv::res {

struct OpenPack;

// Checks `data` (stored bytes of the entry `name`) against `checksum` and,
// when they differ, repairs it in memory from the record at pack offset
// `record_offset`, logging the attempt and its success to info.txt.
// Returns 0 sound, 1 repaired, -1 damaged beyond repair or no record.
int repair_stored_data(Engine& e, std::string_view name, std::span<uint8_t> data, uint32_t checksum,
                       const OpenPack& pack, uint64_t record_offset);

}  // namespace nv::res
