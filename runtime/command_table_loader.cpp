// nvbin\nvc.nbn ("NVCM"): from offset 16 one record per command (name,
// keyword count, then keyword, type and check code per keyword), then the
// 37 errno texts and the 256-byte key table.
#include <new>

#include "core/engine.h"
#include "core/error_report.h"
#include "formats/byte_reader.h"
#include "formats/file_header.h"
#include "resources/file_loader.h"
#include "runtime/dispatch.h"
#include "runtime/script_tables.h"

namespace nv {

int parse_command_table(Engine& e, std::vector<uint8_t> block) {
  auto bad = [&] { return report_ex(e, 900000, {.framed = false}); };
  if (!has_magic(block, "NVCM") || block.size() < 16) return bad();
  ByteReader r(block, 8);
  uint32_t count = r.u32();
  if (count > (block.size() - 16) / 2) return bad();  // a record takes at least two bytes
  CommandTable t;
  r = ByteReader(block, 16);
  // Records are added as they are read, so a count that promises more than
  // the file holds stops at the end of the data, not after a huge allocation.
  for (uint32_t c = 0; c < count; ++c) {
    CommandDef& d = t.defs.emplace_back();
    d.name = r.c_text();
    uint8_t n = r.u8();
    d.keywords.resize(n);
    d.types.resize(n);
    d.checks.resize(n);
    for (uint8_t k = 0; k < n; ++k) {
      d.keywords[k] = r.c_text();
      d.types[k] = r.u8();
      d.checks[k] = r.u8();
      if (d.types[k] > kArgHandler || d.checks[k] > 26) return bad();
    }
    if (!r.ok()) return bad();
  }
  for (auto& text : t.errno_texts) text = r.c_text();
  auto keys = r.bytes(256);
  if (!r.ok()) return bad();
  std::copy(keys.begin(), keys.end(), t.key_table.begin());
  t.block = std::move(block);  // the views keep pointing into the moved buffer
  t.loaded = true;
  e.scripts.commands = std::move(t);
  return 0;
}

int load_command_table(Engine& e) {
  res::FileRequest req;
  if (res::load_file(e, "nvbin\\nvc.nbn", req) != res::kLoadOk) return -1;
  try {
    return parse_command_table(e, std::move(req.data));
  } catch (const std::bad_alloc&) {
    return report_ex(e, 100010, {.framed = false});
  }
}

}  // namespace nv
