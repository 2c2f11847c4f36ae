#include "resources/repair.h"

#include <array>
#include <vector>

#include "core/error_report.h"
#include "formats/checksums.h"
#include "formats/repair_record.h"
#include "platform/encoding.h"
#include "resources/pack_open.h"

namespace nv::res {

int repair_stored_data(Engine& e, std::string_view name, std::span<uint8_t> data, uint32_t checksum,
                       const OpenPack& pack, uint64_t record_offset) {
  if (adler32_of(data, 1) == checksum) return 0;
  std::array<uint8_t, kRepairHeadSize> head{};
  if (!pack.read(record_offset, head)) return -1;  // no room for a record
  const RepairHead h = parse_repair_head(head);
  if (h.parity_size == 0) return -1;
  const ErrorArg args[] = {name};
  log_info(e, "", format_message(platform::utf8_to_sjis("[%s] ファイルに破損が見つかりました。修復を試みます。"), args));
  int64_t body_size = repair_body_size(h.parity_size, h.block_count, data.size());
  if (body_size < 0) return -1;
  std::vector<uint8_t> body(static_cast<size_t>(body_size));
  if (!pack.read(record_offset + kRepairHeadSize, body)) return -1;
  if (!restore_from_parity(data, checksum, body)) return -1;
  log_info(e, "", format_message(platform::utf8_to_sjis("[%s] ファイルの修復に成功しました。"), args));
  return 1;
}

}  // namespace nv::res
