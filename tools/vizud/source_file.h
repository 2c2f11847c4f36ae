// A script or configuration source read from disk: its encoding detected
// (valid UTF-8 is converted to Shift-JIS, anything else is taken as
// Shift-JIS) and split into lines.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "tools/vizud/diagnostics.h"

namespace nv::vizud {

struct SourceFile {
  std::string display_name;         // UTF-8, for messages
  std::vector<std::string> lines;   // Shift-JIS, without line terminators
  bool was_utf8 = false;
};

// True when `bytes` is well-formed UTF-8 (no overlongs, no surrogates).
bool is_valid_utf8(std::string_view bytes);

// Decodes `bytes` into lines. A UTF-8 character that Shift-JIS cannot hold is
// reported with its position and replaced by '?'.
SourceFile decode_source(std::string display_name, std::string_view bytes, Diagnostics& diag);

// Reads and decodes a file; false (with a message) when it cannot be read.
bool read_source(const std::filesystem::path& path, std::string display_name, SourceFile& out,
                 Diagnostics& diag);

// Column (1-based, in characters) of byte offset `byte` in the Shift-JIS `line`.
int column_of(std::string_view line, size_t byte);

}  // namespace nv::vizud
