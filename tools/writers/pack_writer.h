// Builds pack archives (.npf): a 32-byte header ("NPF\0", version 404,
// entry count, index size, 16 zero bytes), the index of entry records, then
// per entry its stored data (zlib stream or as is) and its repair record.
// Record: uint32 CRC-32 of the name, the length byte coded through the
// pack permutation, the name with every byte inverted, type, compression,
// uint32 size, stored size, data offset (from the pack's first byte) and
// adler-32 of the stored bytes.
//
//   PackWriter p;
//   p.add("bg/title.png", png_bytes);           // stored: already compressed
//   p.add("nvbin/nvc.nbn", table);              // zlib
//   Bytes pack = p.encode();
//
// Entry names are normalised: "/" becomes "\", ASCII letters are
// lower-cased (the second byte of a double-byte character is left alone),
// a leading ".\" or "\" is dropped; "." and ".." components and empty names
// are refused. The hash is taken of the normalised name, the form in which
// the engine looks names up.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "formats/byte_writer.h"

namespace nv::writers {

enum class Compress { by_extension, always, never };

struct PackOptions {
  bool repair_records = true;  // false writes the 8-byte empty record
  int level = 9;               // zlib level 1 to 9
};

// Pack type code of a name: 1 BMP, 2 PNG, 3 JPEG, 4 GIF, 5 WAV, 6 Ogg, 7 PSD, 0 other.
uint8_t pack_file_type(std::string_view name);
// Whether Compress::by_extension compresses it: formats that are already
// compressed (PNG, JPEG, GIF, Ogg, movies, NMV, packs) are stored.
bool compressed_by_default(std::string_view name);
// The normalised entry name (Shift-JIS); throws WriteError for a bad one.
std::string normalize_entry_name(std::string_view name);

class PackWriter {
 public:
  explicit PackWriter(PackOptions options = {}) : options_(options) {}

  // Adds an entry (name in Shift-JIS). A name that is already in the pack
  // (after normalisation) throws. With Compress::by_extension an entry that
  // would not shrink is stored instead.
  void add(std::string_view name, Bytes data, Compress mode = Compress::by_extension);

  size_t entry_count() const { return entries_.size(); }
  // The whole pack; throws when it would exceed 4 GiB.
  Bytes encode() const;

 private:
  struct Entry {
    std::string name;
    uint8_t type;
    uint8_t compression;
    uint32_t size;
    Bytes stored;
  };
  PackOptions options_;
  std::vector<Entry> entries_;
};

// A packed executable: the engine binary, the 16-byte "NVER" header (pack
// offset 16, screen-saver flag, 0), the pack, and the 16-byte trailer
// ("NVRES201", uint32 offset of the header, uint32 0) through which the
// engine finds the header. A pack already appended to `engine` is replaced.
Bytes encode_packed_executable(std::span<const uint8_t> engine, std::span<const uint8_t> pack, bool screen_saver);

}  // namespace nv::writers
