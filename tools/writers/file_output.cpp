#include "tools/writers/file_output.h"

#include <string>

#include "formats/byte_writer.h"
#include "platform/file_replace.h"
#include "tools/writers/write_error.h"

namespace nv::writers {

void write_file_atomic(const std::filesystem::path& path, std::span<const uint8_t> bytes) {
  const std::span<const uint8_t> pieces[] = {bytes};
  platform::ReplaceResult r = platform::replace_file(path.string(), pieces);
  if (!r.ok()) throw WriteError("cannot write " + path.string() + ": " + r.text);
}

}  // namespace nv::writers
