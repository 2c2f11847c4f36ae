// The files nvpack puts into a pack: every regular file under a folder, or
// the files a list names.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace nv::nvpack {

struct SourceFile {
  std::filesystem::path host_path;
  std::string entry_name;  // Shift-JIS, '\' separators
};

// Every regular file under `folder` (symbolic links followed), named by its
// path relative to the folder, sorted by entry name. `skip` (the output
// file) is left out. Throws writers::WriteError.
std::vector<SourceFile> files_in_folder(const std::filesystem::path& folder, const std::filesystem::path& skip);

// A list file: one file per line, "host-path" or "host-path<TAB>entry-name";
// relative host paths are taken from the list's folder, the entry name
// defaults to the host path as written; empty lines and lines starting with
// '#' are skipped. Throws writers::WriteError.
std::vector<SourceFile> files_in_list(const std::filesystem::path& list);

}  // namespace nv::nvpack
