// The script index nvbin\nvt.nbn ("NVTD": variable count and a second count)
// and the script list nvbin\nvt_list.nbn ("NVTL": number and source path of
// every script).
#include <new>

#include "core/engine.h"
#include "core/error_report.h"
#include "formats/byte_reader.h"
#include "formats/file_header.h"
#include "resources/file_loader.h"
#include "runtime/script_tables.h"
#include "values/script_expressions.h"
#include "values/variables.h"

namespace nv {

namespace {
// Variable numbers are 16-bit in every compiled file.
constexpr uint32_t kMaxVariableCount = 65535;
constexpr size_t kListRecordMin = 24;  // number, length, 16 compiler bytes
}  // namespace

int parse_script_index(Engine& e, std::span<const uint8_t> block) {
  if (!has_magic(block, "NVTD") || block.size() < 16) return report_ex(e, 900000, {.framed = false});
  if (header_version(block) != kFormatVersion) return report_ex(e, 105000, {.framed = false});
  uint32_t n = load_u32(block.data() + 8);
  if (n > kMaxVariableCount) return report_ex(e, 900000, {.framed = false});
  e.scripts.script_variable_count = n;
  e.scripts.index_second_count = load_u32(block.data() + 12);
  e.vars.vars.clear();
  e.vars.vars.resize(size_t(n) + 1);
  e.scripts.index_loaded = true;
  return 0;
}

int parse_script_list(Engine& e, std::span<const uint8_t> block) {
  auto bad = [&] { return report_ex(e, 900000, {.framed = false}); };
  if (!has_magic(block, "NVTL") || block.size() < 12) return bad();
  uint32_t count = load_u32(block.data() + 8);
  if (count > (block.size() - 12) / kListRecordMin) return bad();
  std::vector<std::string> names(count);
  ByteReader r(block, 12);
  for (uint32_t k = 0; k < count; ++k) {
    uint32_t number = r.u32();
    uint32_t len = r.u32();
    std::string_view name = r.text(len);
    r.bytes(16);
    if (!r.ok()) return bad();
    if (number >= count) return report_ex(e, 901030, {.framed = false});
    names[number] = std::string(name);
  }
  e.scripts.script_names = std::move(names);
  clear_script_expressions(e);
  e.scripts.images.clear();
  e.scripts.images.resize(count);
  e.scripts.list_loaded = true;
  return 0;
}

int load_script_index(Engine& e) {
  res::FileRequest req;
  if (res::load_file(e, "nvbin\\nvt.nbn", req) != res::kLoadOk) return -1;
  try {
    return parse_script_index(e, req.data);
  } catch (const std::bad_alloc&) {
    return report_ex(e, 100010, {.framed = false});
  }
}

int load_script_list(Engine& e) {
  res::FileRequest req;
  if (res::load_file(e, "nvbin\\nvt_list.nbn", req) != res::kLoadOk) return -1;
  try {
    return parse_script_list(e, req.data);
  } catch (const std::bad_alloc&) {
    return report_ex(e, 100010, {.framed = false});
  }
}

}  // namespace nv
