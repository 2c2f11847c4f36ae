#include "tools/writers/script_list_writer.h"

#include "formats/file_header.h"
#include "tools/writers/write_error.h"

namespace nv::writers {

CompilerData make_compiler_data(uint64_t source_time, uint32_t instructions, uint32_t lines) {
  ByteWriter w;
  w.u64(source_time);
  w.u32(instructions);
  w.u32(lines);
  CompilerData d{};
  std::copy(w.data().begin(), w.data().end(), d.begin());
  return d;
}

Bytes encode_script_list(std::span<const ScriptListEntry> scripts) {
  if (scripts.size() > 100000) throw WriteError("more than 100000 scripts");
  ByteWriter w;
  w.magic("NVTL");
  w.u32(kFormatVersion);
  w.u32(static_cast<uint32_t>(scripts.size()));
  for (size_t i = 0; i < scripts.size(); ++i) {
    w.u32(static_cast<uint32_t>(i));
    w.u32(static_cast<uint32_t>(scripts[i].source_path.size()));
    w.text(scripts[i].source_path);
    w.bytes(scripts[i].compiler_data);
  }
  return w.take();
}

}  // namespace nv::writers
