// nvbin\nvt_list.nbn, the script list ("NVTL"): count S at 8, then from 12
// per script: uint32 number, uint32 name length L, L name bytes, 16 bytes of
// compiler data.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "formats/byte_writer.h"

namespace nv::writers {

// The compiler data of this toolchain: uint64 modification time of the
// source (seconds since 1970), uint32 instruction count, uint32 source line
// count. The engine does not read it.
using CompilerData = std::array<uint8_t, 16>;
CompilerData make_compiler_data(uint64_t source_time, uint32_t instructions, uint32_t lines);

struct ScriptListEntry {
  std::string source_path;  // Shift-JIS, as the compiler saw it
  CompilerData compiler_data{};
};

// Script number k is entry k.
Bytes encode_script_list(std::span<const ScriptListEntry> scripts);

}  // namespace nv::writers
