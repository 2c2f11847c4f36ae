// nvbin\nvc.nbn, the command table ("NVCM"): after the 16-byte header, per
// command its NUL-terminated name, a keyword count byte and per keyword the
// NUL-terminated keyword, type and check code; then the 37 errno texts
// (NUL-terminated) and the 256-byte key table.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "formats/byte_writer.h"
#include "formats/command_table.h"

namespace nv::writers {

struct KeywordModel {
  std::string name;  // Shift-JIS (keywords are ASCII in practice)
  uint8_t type = argtype::INT;
  uint8_t check = check::NONE;
};

struct CommandModel {
  std::string name;
  std::vector<KeywordModel> keywords;  // at most 96: keyword indexes are below 96
};

struct CommandTableModel {
  std::vector<CommandModel> commands;                        // in command-number order, at most 100
  std::array<std::string, kErrnoTextCount> errno_texts;      // Shift-JIS; empty is written as " "
  std::array<uint8_t, kKeyTableSize> key_table{};
};

// The engine's own table (formats/command_table.def), errno texts and key table.
CommandTableModel builtin_command_table();

Bytes encode_command_table(const CommandTableModel& table);

}  // namespace nv::writers
