// The one loader every file of a title is read through: cached files,
// shared files, loose files in the title folder, then pack entries (in
// packed-executable mode packs only, after the in-memory sources).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "resources/file_types.h"

namespace nv {
struct Engine;
}  // namespace nv

namespace nv::res {

struct FileRequest {
  std::vector<uint8_t> data;  // the whole file after a successful load
  FileSource source = FileSource::none;
  FileType type = FileType::unknown;
  std::string name;           // the name the file was found under (Shift-JIS)
  int32_t pack_number = -1;   // source pack
  int32_t pack_entry = -1;    // global entry number
  uint32_t entry_fields_pos = 0;  // pack offset of the entry's data fields
  int32_t shared_index = -1;  // source shared
  int32_t cache_group = -1;   // source cached
  int32_t cache_slot = -1;
};

// Load results.
constexpr int kLoadOk = 0;
constexpr int kLoadNotFound = -1;  // not found or unreadable
constexpr int kLoadDamaged = -2;   // a damaged entry, or a pack that cannot be opened
constexpr int kLoadReadError = -3; // a read or memory failure

// Finds (when `lookup` is set) and reads `name`. When `report_missing` is set
// a failed lookup is reported (104060 not found, 104010 a loose file that
// cannot be opened, 901040 a pack that cannot be opened); read failures are
// reported regardless. With `lookup` clear, `req` was filled by an earlier
// lookup (resolve_media) and `name` is not used.
int load_file(Engine& e, std::string_view name, FileRequest& req, bool report_missing = true, bool lookup = true);

// Lookup results.
constexpr int kLookupFound = 1;
constexpr int kLookupNotFound = 0;
constexpr int kLookupUnreadable = -1;  // a loose file exists but cannot be opened (and no other source has it)
constexpr int kLookupPackUnopenable = -2;

// Finds `name` in the sources in their order and fills the source fields of
// `req` (name included). With `typed_by_extension` a loose file gets its
// type from its extension.
int lookup_file(Engine& e, std::string_view name, FileRequest& req, bool typed_by_extension = false);

// Type code of a file name's extension (.bmp .png .jpg .gif .psd .wav .ogg).
FileType file_type_of_name(std::string_view name);

}  // namespace nv::res
