// Parsing of a pack's header and entry records, over bytes already read.
// Every length and count is checked against the bytes it claims, so a
// damaged or hostile pack gives an error, never a read outside the block.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "formats/pack_format.h"

namespace nv {

// One entry record of a pack index, as parsed. The engine keeps them as its
// global index (packs are read-only while mounted).
struct PackEntry {
  uint32_t pack = 0;        // position in the pack list
  uint32_t length_pos = 0;  // pack offset of the record's length byte
  FileType type = FileType::unknown;
  uint8_t compression = 0;
  uint32_t size = 0;         // after decompression
  uint32_t stored_size = 0;
  uint32_t data_offset = 0;  // pack offset of the stored data
  uint32_t checksum = 0;     // adler-32 of the stored bytes
  std::string name;          // recovered name (Shift-JIS, as stored)

  // Pack offset of the data fields, just after the type byte.
  uint32_t fields_pos() const { return length_pos + 1 + static_cast<uint32_t>(name.size()) + 1; }
};

}  // namespace nv

namespace nv::pack {

struct Header {
  bool has_magic = false;  // false: not a pack (skipped by mounting)
  bool complete = false;   // all 32 header bytes present
  uint32_t version = 0;
  uint32_t entry_count = 0;
  uint32_t index_size = 0;
};

// `first` holds the first bytes of the file (up to 32).
Header parse_header(std::span<const uint8_t> first);

// Whether a reader accepts this version: the current one, or 234 and above.
constexpr bool version_accepted(uint32_t v) { return v == kVersion || v >= kOldestVersion; }

struct IndexResult {
  bool ok = true;
  std::string bad_name;  // the name of the record that failed, when it could be read
};

// Parses `count` records back to back from `index` (the index block read
// from pack offset 32) and appends their name hashes to `hashes` and the
// records to `out` with `pack_number`.
// Records that run past the block fail; bytes after the last record are
// ignored.
IndexResult parse_index(std::span<const uint8_t> index, uint32_t count, uint32_t pack_number,
                        std::vector<uint32_t>& hashes, std::vector<PackEntry>& out);

// Recovers a stored name: each byte inverted.
std::string recover_name(std::span<const uint8_t> stored);

}  // namespace nv::pack
