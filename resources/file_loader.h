// The one loader every file of a title is read through: cached files,
// shared files, loose files in the title folder, then pack entries.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace nv {

struct Engine;

enum class FileSource : uint8_t { none = 0, loose = 1, pack = 2, shared = 3, cached = 4 };
enum class FileType : uint8_t { unknown = 0, bmp = 1, png = 2, jpeg = 3, gif = 4, wav = 5, ogg = 6, psd = 7 };

struct FileRequest {
  std::vector<uint8_t> data;  // the whole file after a successful load
  FileSource source = FileSource::none;
  FileType type = FileType::unknown;
  std::string name;           // the name the file was found under (Shift-JIS)
  int32_t pack_number = -1;   // source pack
  int32_t pack_entry = -1;
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
// a failed lookup is reported (104060 / 104010 / 901040); read failures are
// reported regardless.
int load_file(Engine& e, std::string_view name, FileRequest& req, bool report_missing = true, bool lookup = true);

}  // namespace nv
