#include "values/variable_file.h"

#include <cstring>
#include <new>

#include "core/engine.h"
#include "core/error_report.h"
#include "formats/byte_reader.h"
#include "formats/file_header.h"
#include "resources/file_loader.h"
#include "values/evaluator.h"
#include "values/variables.h"

namespace nv {

int install_variable_file(Engine& e, std::vector<uint8_t> block) {
  if (!has_magic(block, "NVVR") || block.size() < 10) return report_ex(e, 900000, {.framed = false});
  e.varfile.block = std::move(block);
  e.varfile.loaded = true;
  return apply_variable_records(e, kGlobalVariables);
}

int load_variable_file(Engine& e) {
  res::FileRequest req;
  if (res::load_file(e, "nvbin\\nvv.nbn", req) != res::kLoadOk) return -1;
  try {
    return install_variable_file(e, std::move(req.data));
  } catch (const std::bad_alloc&) {
    return report_ex(e, 100010, {.framed = false});
  }
}

int apply_variable_records(Engine& e, int32_t key) {
  if (!e.varfile.loaded) return 0;
  const std::vector<uint8_t>& block = e.varfile.block;
  ByteReader r(block, 8);
  uint16_t count = r.u16();
  std::array<int32_t, kMaxDims> dims{};
  for (uint32_t k = 0; k < count; ++k) {
    uint8_t scope = r.u8();
    uint16_t script = r.u16();
    uint16_t number = r.u16();
    uint8_t type = r.u8();
    uint8_t d = r.u8();
    if (!r.ok() || type > kVarString || d > kMaxDims) return report(e, 900000);
    for (uint8_t j = 0; j < d; ++j) dims[j] = r.i32();
    uint64_t raw = 0;
    std::span<const uint8_t> expr;
    if (type == kVarInt || type == kVarFloat) raw = r.u64();
    if (type == kVarString) expr = r.bytes(r.u16());
    if (!r.ok()) return report(e, 900000);
    if (number >= e.vars.vars.size()) return report(e, 900070);
    bool taken = key == kGlobalVariables ? scope == 1 : (scope == 2 && script == key);
    if (!taken) continue;
    std::span<const int32_t> shape(dims.data(), d);
    int rc = 0;
    switch (type) {
      case kVarInt: rc = create_integer(e, number, shape, static_cast<int64_t>(raw)); break;
      case kVarFloat: {
        double f;
        std::memcpy(&f, &raw, sizeof f);
        rc = create_float(e, number, shape, f);
        break;
      }
      case kVarString: {
        char buf[kTextBufferSize];
        buf[0] = '\0';
        size_t n = eval_string(e, expr, 3, buf);
        rc = create_string(e, number, shape, std::string_view(buf, n));
        break;
      }
      default: {
        // No type yet: the shape is recorded, nothing is stored.
        Variable& v = e.vars.vars[number];
        v.type = kVarNone;
        v.dim_count = static_cast<int8_t>(d);
        v.dims.fill(0);
        std::copy(shape.begin(), shape.end(), v.dims.begin());
        break;
      }
    }
    if (rc != 0) return -1;
  }
  return 0;
}

}  // namespace nv
