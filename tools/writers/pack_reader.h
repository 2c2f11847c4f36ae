// Reading packs back for nvpack --list and for tests: the index, each
// entry's data with its checksum, repair record and decompression checked,
// and the pack inside a packed executable.
#pragma once

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "tools/writers/byte_writer.h"

namespace nv::writers {

// A pack whose header or index is malformed.
struct PackReadError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

struct PackEntryInfo {
  std::string name;  // recovered name (Shift-JIS)
  uint32_t hash = 0;
  uint8_t type = 0;
  uint8_t compression = 0;
  uint32_t size = 0;
  uint32_t stored_size = 0;
  uint32_t offset = 0;
  uint32_t adler = 0;
};

struct PackView {
  std::span<const uint8_t> bytes;  // the pack from its first byte
  uint32_t version = 0;
  std::vector<PackEntryInfo> entries;
};

// Parses the header and index; every offset and size is checked against
// the pack's size. Throws PackReadError.
PackView read_pack(std::span<const uint8_t> pack);

// Size of the executable proper: the offset its trailer names, or the whole
// file when it carries no appended pack.
size_t executable_size(std::span<const uint8_t> file);

struct AppendedPack {
  bool present = false;
  bool screen_saver = false;
  std::span<const uint8_t> pack;  // the whole file when not present
};
// Finds the pack appended to an executable (trailer, "NVER" header).
AppendedPack locate_pack(std::span<const uint8_t> file);

enum class EntryStatus { ok, repaired, damaged };
struct EntryData {
  EntryStatus status = EntryStatus::damaged;
  std::string problem;  // why it is damaged (UTF-8)
  Bytes data;           // the entry's bytes when not damaged
};
// Checks and unpacks one entry as the engine would (repairing one damaged
// block from the repair record).
EntryData read_entry(const PackView& pack, const PackEntryInfo& entry);

}  // namespace nv::writers
