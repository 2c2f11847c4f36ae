// The repair record that follows an entry's stored data in a pack:
//   int32 parity size c (1024), int32 block count k (1024-byte blocks of the
//   data, the last one partial), k uint16 block checks (low 16 bits of each
//   block's CRC-32, a partial block checked over the bytes it has), c parity
//   bytes (byte p is the XOR of byte p of every block, a partial block
//   counting as zeros past its end).
// One damaged block per entry can be restored. An entry without repair data
// carries the 8-byte head with c = 0 and k = 0.
#pragma once

#include <cstdint>
#include <span>

#include "formats/byte_writer.h"

namespace nv {

constexpr uint32_t kRepairBlockSize = 1024;
constexpr uint32_t kRepairHeadSize = 8;

// Number of blocks of `n` data bytes.
constexpr uint64_t repair_block_count(uint64_t n) { return (n + kRepairBlockSize - 1) / kRepairBlockSize; }

struct RepairHead {
  int32_t parity_size = 0;  // c
  int32_t block_count = 0;  // k
};

// The head's two words; `head` holds at least kRepairHeadSize bytes.
RepairHead parse_repair_head(std::span<const uint8_t> head);

// Bytes of block checks and parity that follow the head, or -1 when the head
// does not fit data of `n` bytes (a parity size other than 1024, a block
// count other than the data's).
int64_t repair_body_size(int32_t parity_size, int32_t block_count, uint64_t n);

// Restores the damaged block of `data` from `body` (the block checks and the
// parity, repair_body_size bytes). Returns whether the adler-32 of the data
// equals `checksum` afterwards.
bool restore_from_parity(std::span<uint8_t> data, uint32_t checksum, std::span<const uint8_t> body);

// Checks `stored` against its adler-32 and, when it differs, restores it
// from the record that starts `record`: 0 sound, 1 repaired, -1 not
// repairable (no record, a malformed or cut one, or more than one damaged
// block).
int repair_stored(std::span<uint8_t> stored, std::span<const uint8_t> record, uint32_t adler);

// The record of `stored` (head, block checks, parity), and the 8-byte one
// of an entry without repair data.
Bytes encode_repair_record(std::span<const uint8_t> stored);
Bytes empty_repair_record();

// Size of the record that starts `record` (0 when it is malformed or cut).
size_t repair_record_size(std::span<const uint8_t> record);

}  // namespace nv
