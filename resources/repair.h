// The repair record that follows an entry's stored data in a pack:
//   int32 parity size c (1024), int32 block count k (1024-byte blocks of the
//   data, the last one partial), k uint16 block checks (low 16 bits of each
//   block's CRC-32), c parity bytes (byte p is the XOR of byte p of every
//   block, a partial block counting as zeros past its end).
// One damaged block per entry can be restored.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace nv {

struct Engine;
struct OpenPack;

constexpr uint32_t kRepairBlockSize = 1024;
constexpr uint32_t kRepairHeadSize = 8;

// Number of blocks of `n` data bytes.
constexpr uint64_t repair_block_count(uint64_t n) { return (n + kRepairBlockSize - 1) / kRepairBlockSize; }

// Bytes of block checks and parity that follow the head, or -1 when the head
// does not fit data of `n` bytes (a parity size other than 1024, a block
// count other than the data's).
int64_t repair_body_size(int32_t parity_size, int32_t block_count, uint64_t n);

// Restores the damaged block of `data` from `body` (the block checks and the
// parity, repair_body_size bytes). Returns whether the adler-32 of the data
// equals `checksum` afterwards.
bool restore_from_parity(std::span<uint8_t> data, uint32_t checksum, std::span<const uint8_t> body);

// Checks `data` (stored bytes of the entry `name`) against `checksum` and,
// when they differ, repairs it in memory from the record at pack offset
// `record_offset`, logging the attempt and its success to info.txt.
// Returns 0 sound, 1 repaired, -1 damaged beyond repair or no record.
int repair_stored_data(Engine& e, std::string_view name, std::span<uint8_t> data, uint32_t checksum,
                       const OpenPack& pack, uint64_t record_offset);

}  // namespace nv
