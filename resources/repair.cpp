#include "resources/repair.h"

#include <array>
#include <vector>

#include "data/checksums.h"
#include "platform/encoding.h"
#include "resources/byte_order.h"
#include "resources/pack_open.h"
#include "runtime/error_report.h"

namespace nv {

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
  std::array<uint8_t, kRepairBlockSize> found{};
  for (size_t i = 0; i < n; ++i) found[i % kRepairBlockSize] ^= data[i];
  std::array<uint8_t, kRepairBlockSize> now = found;

  for (size_t j = 0; j < k; ++j) {
    size_t start = j * kRepairBlockSize;
    size_t len = std::min<size_t>(kRepairBlockSize, n - start);
    uint16_t crc = static_cast<uint16_t>(crc32_of(data.subspan(start, len)));
    if (crc == read_u16le(checks + 2 * j)) continue;
    for (size_t p = 0; p < len; ++p) {
      if (parity[p] == found[p]) continue;
      uint8_t old = data[start + p];
      uint8_t others = static_cast<uint8_t>(now[p] ^ old);
      uint8_t restored = static_cast<uint8_t>(parity[p] ^ others);
      data[start + p] = restored;
      now[p] = static_cast<uint8_t>(now[p] ^ old ^ restored);
    }
  }
  return adler32_of(data, 1) == checksum;
}

int repair_stored_data(Engine& e, std::string_view name, std::span<uint8_t> data, uint32_t checksum,
                       const OpenPack& pack, uint64_t record_offset) {
  if (adler32_of(data, 1) == checksum) return 0;
  std::array<uint8_t, kRepairHeadSize> head{};
  if (!pack.read(record_offset, head)) return -1;  // no room for a record
  int32_t c = static_cast<int32_t>(read_u32le(head.data()));
  int32_t k = static_cast<int32_t>(read_u32le(head.data() + 4));
  if (c == 0) return -1;
  const ErrorArg args[] = {name};
  log_info(e, "", format_message(platform::utf8_to_sjis("[%s] ファイルに破損が見つかりました。修復を試みます。"), args));
  int64_t body_size = repair_body_size(c, k, data.size());
  if (body_size < 0) return -1;
  std::vector<uint8_t> body(static_cast<size_t>(body_size));
  if (!pack.read(record_offset + kRepairHeadSize, body)) return -1;
  if (!restore_from_parity(data, checksum, body)) return -1;
  log_info(e, "", format_message(platform::utf8_to_sjis("[%s] ファイルの修復に成功しました。"), args));
  return 1;
}

}  // namespace nv
