// The repair record stored after each pack entry's data: int32 parity size
// c (1024), int32 block count k (1024-byte blocks of the stored data, the
// last one partial), k uint16 block checks (low 16 bits of the CRC-32 of the
// block's bytes; a partial block is checked over the bytes it has), then c
// parity bytes: byte p is the XOR of byte p of every block, bytes past the
// end counting as 0. One damaged block can be rebuilt from it.
#pragma once

#include <cstdint>
#include <span>

#include "tools/writers/byte_writer.h"

namespace nv::writers {

constexpr uint32_t kRepairBlockSize = 1024;

Bytes encode_repair_record(std::span<const uint8_t> stored);

// The 8-byte record of an entry without repair data (c = 0, k = 0).
Bytes empty_repair_record();

// Size of the record that starts `record` (0 when it is malformed or cut).
size_t repair_record_size(std::span<const uint8_t> record);

// Checks `stored` against its adler-32 and, when it differs, rebuilds it
// from the record as the engine does: 0 sound, 1 repaired, -1 not
// repairable (no record, a malformed one, or more than one damaged block).
int repair_stored(std::span<uint8_t> stored, std::span<const uint8_t> record, uint32_t adler);

}  // namespace nv::writers
