#include "tools/writers/repair_record.h"

#include <algorithm>
#include <array>

#include "data/checksums.h"

namespace nv::writers {

namespace {

uint16_t block_check(std::span<const uint8_t> s, size_t j) {
  size_t at = j * kRepairBlockSize;
  size_t len = std::min<size_t>(kRepairBlockSize, s.size() - at);
  return static_cast<uint16_t>(crc32_of(s.subspan(at, len)));
}

std::array<uint8_t, kRepairBlockSize> parity_of(std::span<const uint8_t> s) {
  std::array<uint8_t, kRepairBlockSize> p{};
  for (size_t i = 0; i < s.size(); ++i) p[i % kRepairBlockSize] ^= s[i];
  return p;
}

size_t block_count(size_t n) { return (n + kRepairBlockSize - 1) / kRepairBlockSize; }

}  // namespace

Bytes encode_repair_record(std::span<const uint8_t> stored) {
  size_t k = block_count(stored.size());
  ByteWriter w;
  w.i32(static_cast<int32_t>(kRepairBlockSize));
  w.i32(static_cast<int32_t>(k));
  for (size_t j = 0; j < k; ++j) w.u16(block_check(stored, j));
  w.bytes(parity_of(stored));
  return w.take();
}

Bytes empty_repair_record() { return Bytes(8, 0); }

size_t repair_record_size(std::span<const uint8_t> r) {
  if (r.size() < 8) return 0;
  auto c = static_cast<int32_t>(read_u32(r, 0));
  auto k = static_cast<int32_t>(read_u32(r, 4));
  if (c < 0 || k < 0) return 0;
  uint64_t size = 8 + 2 * static_cast<uint64_t>(k) + static_cast<uint64_t>(c);
  return size <= r.size() ? static_cast<size_t>(size) : 0;
}

int repair_stored(std::span<uint8_t> s, std::span<const uint8_t> record, uint32_t adler) {
  if (adler32_of(s, 1) == adler) return 0;
  size_t size = repair_record_size(record);
  if (size == 0) return -1;
  auto c = read_u32(record, 0);
  auto k = read_u32(record, 4);
  if (c != kRepairBlockSize || k != block_count(s.size())) return -1;
  std::span<const uint8_t> parity = record.subspan(8 + 2 * static_cast<size_t>(k), c);
  auto now = parity_of(s);
  for (size_t j = 0; j < k; ++j) {
    uint16_t want = static_cast<uint16_t>(record[8 + 2 * j] | record[9 + 2 * j] << 8);
    if (block_check(s, j) == want) continue;
    // Byte p of block j = parity[p] XOR byte p of every other block, and
    // the XOR of the other blocks is now[p] XOR the damaged byte itself.
    for (size_t p = 0; p < kRepairBlockSize; ++p) {
      size_t at = j * kRepairBlockSize + p;
      if (at >= s.size() || parity[p] == now[p]) continue;
      s[at] = static_cast<uint8_t>(parity[p] ^ now[p] ^ s[at]);
    }
  }
  return adler32_of(s, 1) == adler ? 1 : -1;
}

}  // namespace nv::writers
