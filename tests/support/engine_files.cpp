#include "tests/support/engine_files.h"

#include <algorithm>

#include "tools/writers/error_table_writer.h"

namespace nv::test {

std::string script_file(const std::vector<Instr>& code) {
  Bytes c, a, r, lines;
  for (const Instr& in : code) {
    c.u8(in.command).u8(static_cast<uint32_t>(in.args.size())).u8(0).u8(0);
    for (const Arg& arg : in.args) {
      uint32_t off = static_cast<uint32_t>(r.b.size());
      r.raw(arg.expr.b);
      uint32_t size = arg.size_override >= 0 ? static_cast<uint32_t>(arg.size_override)
                                             : static_cast<uint32_t>(arg.expr.b.size());
      a.u8(arg.keyword).u8(0).u8(arg.selector).u8(arg.op).u32(size).u32(off);
    }
    lines.u32(static_cast<uint32_t>(in.line));
  }
  ScriptKey key = script_key();
  for (Bytes* area : {&c, &a, &r, &lines}) scramble(area->b.data(), area->b.size(), key);
  Bytes f;
  f.raw("NVTB").u32(404).u32(static_cast<uint32_t>(code.size()));
  f.u32(static_cast<uint32_t>(c.b.size())).u32(static_cast<uint32_t>(a.b.size()));
  f.u32(static_cast<uint32_t>(r.b.size())).u32(static_cast<uint32_t>(lines.b.size())).u32(0);
  f.raw(c.b).raw(a.b).raw(r.b).raw(lines.b);
  return f.str();
}

std::string variable_file(const std::vector<VarRecord>& records) {
  Bytes f;
  f.raw("NVVR").u32(404).u16(static_cast<uint32_t>(records.size()));
  for (const VarRecord& v : records) {
    f.u8(v.scope).u16(v.script).u16(v.number).u8(v.type).u8(static_cast<uint32_t>(v.dims.size()));
    for (int32_t d : v.dims) f.u32(static_cast<uint32_t>(d));
    if (v.type == 1) f.u64(static_cast<uint64_t>(v.init_int));
    if (v.type == 2) {
      uint64_t raw;
      std::memcpy(&raw, &v.init_float, 8);
      f.u64(raw);
    }
    if (v.type == 3) f.u16(static_cast<uint32_t>(v.init_text.b.size())).raw(v.init_text.b);
  }
  return f.str();
}

std::string test_error_table() {
  nv::Bytes b = writers::encode_error_table(writers::shipped_error_table());
  return std::string(b.begin(), b.end());
}

}  // namespace nv::test
