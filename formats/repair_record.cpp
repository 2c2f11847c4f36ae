#include "formats/repair_record.h"

#include <algorithm>
#include <array>

#include "formats/byte_reader.h"
#include "formats/checksums.h"

namespace nv {

namespace {

using Parity = std::array<uint8_t, kRepairBlockSize>;

uint16_t block_check(std::span<const uint8_t> data, size_t j) {
  size_t start = j * kRepairBlockSize;
  size_t len = std::min<size_t>(kRepairBlockSize, data.size() - start);
  return static_cast<uint16_t>(crc32_of(data.subspan(start, len)));
}

Parity parity_of(std::span<const uint8_t> data) {
  Parity p{};
  for (size_t i = 0; i < data.size(); ++i) p[i % kRepairBlockSize] ^= data[i];
  return p;
}

}  // namespace

RepairHead parse_repair_head(std::span<const uint8_t> head) {
  return {static_cast<int32_t>(load_u32(head.data())), static_cast<int32_t>(load_u32(head.data() + 4))};
}

int64_t repair_body_size(int32_t parity_size, int32_t block_count, uint64_t n) {
  if (parity_size != static_cast<int32_t>(kRepairBlockSize) || block_count < 0 ||
      static_cast<uint64_t>(block_count) != repair_block_count(n))
    return -1;
  return int64_t{block_count} * 2 + parity_size;
}

bool restore_from_parity(std::span<uint8_t> data, uint32_t checksum, std::span<const uint8_t> body) {
  const size_t n = data.size();
  const size_t k = static_cast<size_t>(repair_block_count(n));
  if (body.size() != k * 2 + kRepairBlockSize) return false;
  const uint8_t* checks = body.data();
  const uint8_t* parity = body.data() + k * 2;

  // XOR of byte p over all blocks, as found; `now` follows the restored bytes.
  const Parity found = parity_of(data);
  Parity now = found;

  for (size_t j = 0; j < k; ++j) {
    if (block_check(data, j) == load_u16(checks + 2 * j)) continue;
    size_t start = j * kRepairBlockSize;
    size_t len = std::min<size_t>(kRepairBlockSize, n - start);
    for (size_t p = 0; p < len; ++p) {
      if (parity[p] == found[p]) continue;
      // Byte p of block j is the parity byte XOR byte p of every other block.
      uint8_t old = data[start + p];
      uint8_t others = static_cast<uint8_t>(now[p] ^ old);
      uint8_t restored = static_cast<uint8_t>(parity[p] ^ others);
      data[start + p] = restored;
      now[p] = static_cast<uint8_t>(now[p] ^ old ^ restored);
    }
  }
  return adler32_of(data, 1) == checksum;
}

int repair_stored(std::span<uint8_t> stored, std::span<const uint8_t> record, uint32_t adler) {
  if (adler32_of(stored, 1) == adler) return 0;
  if (record.size() < kRepairHeadSize) return -1;
  RepairHead h = parse_repair_head(record);
  int64_t body = repair_body_size(h.parity_size, h.block_count, stored.size());
  if (body < 0 || static_cast<uint64_t>(body) > record.size() - kRepairHeadSize) return -1;
  return restore_from_parity(stored, adler, record.subspan(kRepairHeadSize, static_cast<size_t>(body))) ? 1 : -1;
}

Bytes encode_repair_record(std::span<const uint8_t> stored) {
  size_t k = static_cast<size_t>(repair_block_count(stored.size()));
  ByteWriter w;
  w.i32(static_cast<int32_t>(kRepairBlockSize));
  w.i32(static_cast<int32_t>(k));
  for (size_t j = 0; j < k; ++j) w.u16(block_check(stored, j));
  w.bytes(parity_of(stored));
  return w.take();
}

Bytes empty_repair_record() { return Bytes(kRepairHeadSize, 0); }

size_t repair_record_size(std::span<const uint8_t> record) {
  if (record.size() < kRepairHeadSize) return 0;
  RepairHead h = parse_repair_head(record);
  if (h.parity_size < 0 || h.block_count < 0) return 0;
  uint64_t size = kRepairHeadSize + 2 * static_cast<uint64_t>(h.block_count) + static_cast<uint64_t>(h.parity_size);
  return size <= record.size() ? static_cast<size_t>(size) : 0;
}

}  // namespace nv
