#include "tools/writers/label_table_writer.h"

#include <algorithm>
#include <numeric>
#include <unordered_set>
#include <vector>

#include "formats/checksums.h"
#include "formats/file_header.h"
#include "tools/writers/write_error.h"

namespace nv::writers {

Bytes encode_label_table(std::span<const LabelModel> labels) {
  std::unordered_set<std::string> names;
  std::vector<uint32_t> hash(labels.size());
  for (size_t i = 0; i < labels.size(); ++i) {
    const std::string& n = labels[i].name;
    if (n.empty() || n.size() > 255) throw WriteError("label name of " + std::to_string(n.size()) + " bytes (1 to 255 allowed)");
    if (!names.insert(n).second) throw WriteError("label " + n + " is defined twice");
    hash[i] = crc32_of(n);
  }
  std::vector<size_t> order(labels.size());
  std::iota(order.begin(), order.end(), size_t{0});
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return hash[a] < hash[b]; });

  ByteWriter w;
  w.magic("NVLB");
  w.u32(kFormatVersion);
  w.u32(static_cast<uint32_t>(labels.size()));
  size_t next = 0;
  for (uint32_t b = 0; b < 256; ++b) {
    while (next < order.size() && (hash[order[next]] >> 24) < b) ++next;
    w.u32(static_cast<uint32_t>(next));
  }
  for (size_t i : order) {
    const LabelModel& l = labels[i];
    w.u8(static_cast<uint8_t>(l.name.size()));
    w.text(l.name);
    w.u32(hash[i]);
    w.i32(l.instruction);
    w.u16(l.script);
    w.u8(l.if_depth);
    w.u8(l.loop_depth);
  }
  return w.take();
}

}  // namespace nv::writers
