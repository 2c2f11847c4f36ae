// A pack held in memory, read back through the same parsers the engine
// mounts with: nvpack --list and the tests use it. Each entry's data is
// checked, repaired and inflated as the engine would.
#pragma once

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "formats/byte_writer.h"
#include "formats/pack_index.h"

namespace nv::pack {

// A pack whose header or index is malformed.
struct PackReadError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

struct PackView {
  std::span<const uint8_t> bytes;  // the pack from its first byte
  uint32_t version = 0;
  std::vector<uint32_t> hashes;    // CRC-32 of each entry's name
  std::vector<PackEntry> entries;  // in index order
};

// Parses the header and index; every offset and size is checked against
// the pack's size. Throws PackReadError.
PackView read_pack(std::span<const uint8_t> pack);

// Size of the executable proper: the offset its trailer names, or the whole
// file when it carries no appended pack.
size_t executable_size(std::span<const uint8_t> file);

struct LocatedPack {
  bool present = false;
  bool screen_saver = false;
  std::span<const uint8_t> pack;  // the whole file when not present
};
// Finds the pack appended to an executable. Throws PackReadError when the
// header points past the end of the file.
LocatedPack locate_pack(std::span<const uint8_t> file);

enum class EntryStatus { ok, repaired, damaged };
struct EntryData {
  EntryStatus status = EntryStatus::damaged;
  std::string problem;  // why it is damaged (UTF-8)
  Bytes data;           // the entry's bytes when not damaged
};
// Checks and unpacks one entry as the engine would (repairing one damaged
// block from the repair record).
EntryData read_entry(const PackView& pack, const PackEntry& entry);

}  // namespace nv::pack
