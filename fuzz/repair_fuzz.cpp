// The repair routine over arbitrary data, checksum and record: the first
// bytes choose the data size and checksum, the rest is split into data and
// the record body.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "formats/checksums.h"
#include "resources/repair.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* in, size_t size) {
  if (size < 6) return 0;
  size_t n = (size_t{in[0]} | size_t{in[1]} << 8) % (size - 5);
  bool use_true_checksum = in[2] & 1;
  uint32_t checksum = uint32_t{in[3]} | uint32_t{in[4]} << 8 | uint32_t{in[5]} << 16;
  std::vector<uint8_t> data(in + 6, in + 6 + n);
  std::vector<uint8_t> body(in + 6 + n, in + size);
  if (use_true_checksum) checksum = nv::adler32_of(data, 1);
  // Bodies of the expected size are the interesting ones; pad or cut to it.
  if (in[2] & 2) body.resize(static_cast<size_t>(nv::repair_block_count(n)) * 2 + nv::kRepairBlockSize);
  nv::repair_body_size(static_cast<int32_t>(checksum), static_cast<int32_t>(n), n);
  std::vector<uint8_t> before = data;
  bool ok = nv::restore_from_parity(data, checksum, body);
  if (ok && nv::adler32_of(data, 1) != checksum) __builtin_trap();
  if (data.size() != before.size()) __builtin_trap();
  return 0;
}
