#include "tools/writers/script_index_writer.h"

#include "formats/file_header.h"

namespace nv::writers {

Bytes encode_script_index(uint32_t variable_count, uint32_t second_count) {
  ByteWriter w;
  w.magic("NVTD");
  w.u32(kFormatVersion);
  w.u32(variable_count);
  w.u32(second_count);
  return w.take();
}

}  // namespace nv::writers
