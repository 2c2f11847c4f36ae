// nvbin\nvl.nbn ("NVLB"): 256 bucket starts by the hash's top byte, then the
// labels sorted by their CRC-32.
#include <new>

#include "core/engine.h"
#include "core/error_report.h"
#include "formats/byte_reader.h"
#include "formats/checksums.h"
#include "formats/file_header.h"
#include "resources/file_loader.h"
#include "runtime/script_tables.h"

namespace nv {

namespace {
constexpr size_t kLabelsOffset = 12 + 256 * 4;
constexpr size_t kLabelMin = 12;  // length byte, hash, index, script, two depths
}  // namespace

int parse_label_table(Engine& e, std::span<const uint8_t> block) {
  auto bad = [&] { return report_ex(e, 900000, {.framed = false}); };
  if (!has_magic(block, "NVLB") || block.size() < kLabelsOffset) return bad();
  ByteReader r(block, 8);
  uint32_t count = r.u32();
  if (count > (block.size() - kLabelsOffset) / kLabelMin) return bad();
  LabelTable t;
  for (uint32_t& b : t.buckets) b = r.u32();
  t.buckets[0] = 0;
  t.labels.resize(count);
  r = ByteReader(block, kLabelsOffset);
  for (Label& l : t.labels) {
    uint8_t len = r.u8();
    l.name = std::string(r.text(len));
    l.hash = r.u32();
    l.instruction = r.i32();
    l.script = r.u16();
    l.if_depth = r.u8();
    l.loop_depth = r.u8();
    if (!r.ok() || l.instruction < 0) return bad();
    // The instruction index is checked against its script when that loads.
    if (e.scripts.list_loaded && l.script >= e.scripts.images.size()) return bad();
  }
  t.loaded = true;
  e.scripts.labels = std::move(t);
  return 0;
}

int load_label_table(Engine& e) {
  res::FileRequest req;
  if (res::load_file(e, "nvbin\\nvl.nbn", req) != res::kLoadOk) return -1;
  try {
    return parse_label_table(e, req.data);
  } catch (const std::bad_alloc&) {
    return report_ex(e, 100010, {.framed = false});
  }
}

int32_t find_label(const LabelTable& t, std::string_view name) {
  uint32_t hash = crc32_of(name);
  size_t count = t.labels.size();
  // The scan runs from the bucket to the end of the table, not to the next
  // bucket, so a bucket table that is off still finds every label after it.
  for (size_t k = t.buckets[hash >> 24]; k < count; ++k) {
    const Label& l = t.labels[k];
    if (l.hash == hash && l.name == name) return static_cast<int32_t>(k);
  }
  return -1;
}

}  // namespace nv
