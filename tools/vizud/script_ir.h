// A compiled script before it is laid out into its file: instructions with
// their argument records; expression bytes are placed into the resource
// area when the file is written.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "formats/byte_writer.h"
#include "tools/vizud/diagnostics.h"

namespace nv::vizud {

struct ArgRecord {
  uint8_t keyword = 0;
  uint8_t unused = 0;
  uint8_t selector = 0;
  uint8_t assign = 0;
  // Records that carry data (an expression or raw text) get size and offset
  // when the file is laid out; the others keep `size` and `offset` as given
  // (jump targets, RETURNCODE values).
  bool has_data = false;
  nv::Bytes data;
  uint32_t size = 0;
  uint32_t offset = 0;
};

struct Instruction {
  uint8_t command = 0;
  std::vector<ArgRecord> args;
  int32_t line = 0;
};

struct LabelDef {
  std::string name;  // Shift-JIS
  int script = 0;
  int32_t index = 0;  // instruction index in the script
  uint8_t if_depth = 0;
  uint8_t loop_depth = 0;
  std::string file;
  SourcePos pos;
};

struct CompiledScript {
  std::string name;      // Shift-JIS source path as recorded in the script list
  std::string display;   // UTF-8 project-relative path, for messages
  std::vector<Instruction> code;
  int text_lines = 0;
  int source_lines = 0;
};

}  // namespace nv::vizud
