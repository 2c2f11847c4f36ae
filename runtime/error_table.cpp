#include "runtime/error_table.h"

#include "core/engine.h"
#include "core/error_report.h"
#include "formats/byte_reader.h"
#include "formats/file_header.h"
#include "resources/file_loader.h"
#include "runtime/arg_eval.h"
#include "runtime/arg_slots.h"

namespace nv {

int parse_error_table(Engine& e, std::vector<uint8_t> block) {
  ErrorTable& t = e.errors.table;
  if (!has_magic(block, "NVER") || block.size() < 16) return report_ex(e, 900000, {.framed = false});
  ByteReader r(block, 8);
  uint32_t count = r.u32();
  // Every entry takes at least five bytes; a larger count cannot be real.
  if (count > (block.size() - 16) / 5) return report_ex(e, 900000, {.framed = false});
  std::vector<uint32_t> codes;
  std::vector<std::string_view> messages;
  codes.reserve(count);
  messages.reserve(count);
  r = ByteReader(block, 16);
  for (uint32_t k = 0; k < count; ++k) {
    uint32_t code = r.u32();
    std::string_view msg = r.c_text();
    if (!r.ok()) return report_ex(e, 900000, {.framed = false});
    codes.push_back(code);
    messages.push_back(msg);
  }
  // The views point into the block's heap buffer, which moves with it.
  t.block = std::move(block);
  t.codes = std::move(codes);
  t.messages = std::move(messages);
  t.loaded = true;
  return 0;
}

int load_error_table(Engine& e) {
  res::FileRequest req;
  if (res::load_file(e, "nvbin\\nve.nbn", req) != res::kLoadOk) return -1;
  return parse_error_table(e, std::move(req.data));
}

int error_command(Engine& e) {
  if (evaluate_arguments(e) != 0) return -1;
  // Keyword index j + 1 is COM_ switch j; NO (0) and SET (1) are not used.
  const ArgSlots& a = e.args;
  for (int j = 1; j <= 100 && j + 1 < kKeywordLimit; ++j)
    if (a.has(j + 1)) e.errors.switches[static_cast<size_t>(j)] = static_cast<uint8_t>(a.at(j + 1).value);
  return 0;
}

}  // namespace nv
