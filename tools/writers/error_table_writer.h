// nvbin\nve.nbn, the error table ("NVER"): after the 16-byte header (count
// at 8, 0 at 12) the entries back to back: uint32 code, NUL-terminated
// Shift-JIS message.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "formats/byte_writer.h"

namespace nv::writers {

struct ErrorEntry {
  uint32_t code;
  std::string text;  // Shift-JIS printf format
};

// The 121 messages every title ships (UTF-8 as written here).
struct ShippedError {
  uint32_t code;
  std::string_view text;
};
std::span<const ShippedError> shipped_errors();

// The shipped messages converted to Shift-JIS.
std::vector<ErrorEntry> shipped_error_table();

// At most 256 entries (the engine's in-memory table); codes must be unique.
Bytes encode_error_table(std::span<const ErrorEntry> entries);

}  // namespace nv::writers
