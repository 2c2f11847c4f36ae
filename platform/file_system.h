// The title's files as the engine names them.
//
// Engine paths are Shift-JIS, separate folders with '\' (or '/'), and are
// relative to the title folder, which plays the part of the executable's
// folder. On the host each component is found case-insensitively after
// conversion to UTF-8. A path that starts with '/' is an absolute host path.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace nv::platform {

enum class FileStatus { ok, missing, unreadable };

struct FileRead {
  FileStatus status = FileStatus::missing;
  std::vector<uint8_t> data;
};

// A file opened for reading ranges of it (pack archives); closed when
// dropped. Movable, not copyable.
class ReadFile {
 public:
  ReadFile() = default;
  ReadFile(ReadFile&& other) noexcept;
  ReadFile& operator=(ReadFile&& other) noexcept;
  ReadFile(const ReadFile&) = delete;
  ReadFile& operator=(const ReadFile&) = delete;
  ~ReadFile();

  bool is_open() const { return fd_ >= 0; }
  uint64_t size() const { return size_; }  // at the time of opening

  // Reads exactly out.size() bytes from `offset`; false when the range runs
  // past the end of the file or the read fails.
  bool read_at(uint64_t offset, std::span<uint8_t> out) const;

  // Opens a host path (UTF-8, as the host names it), e.g. the executable.
  static ReadFile open_host(const std::string& host_path);

 private:
  int fd_ = -1;
  uint64_t size_ = 0;
};

struct OpenedFile {
  FileStatus status = FileStatus::missing;  // a folder is `unreadable`
  ReadFile file;
};

struct DirEntry {
  std::string name;  // Shift-JIS
  bool is_directory = false;
  uint64_t size = 0;
};

struct FileStat {
  bool is_directory = false;
  uint64_t size = 0;
  int64_t modified_unix = 0;  // seconds since 1970-01-01 UTC
};

class FileSystem {
 public:
  explicit FileSystem(std::string root_dir);

  const std::string& root() const { return root_; }

  // Host path of an existing file or folder, or nothing.
  std::optional<std::string> find(std::string_view path) const;

  // Host path at which `path` would be created: the folders that exist are
  // found case-insensitively, the rest is taken as written.
  std::string host_path(std::string_view path) const;

  FileRead read(std::string_view path) const;
  OpenedFile open_read(std::string_view path) const;
  std::optional<FileStat> stat(std::string_view path) const;
  bool exists(std::string_view path) const { return find(path).has_value(); }
  bool is_directory(std::string_view path) const;

  // Replaces the file whole: written beside it first, then renamed over it,
  // so a failed write never leaves a half-written file behind.
  bool write(std::string_view path, std::span<const uint8_t> data) const;
  bool append(std::string_view path, std::span<const uint8_t> data) const;
  bool make_directory(std::string_view path) const;
  bool remove(std::string_view path) const;
  std::vector<DirEntry> list(std::string_view path) const;

 private:
  std::string root_;
};

// Replaces the file at the host path `host_path` (UTF-8, as the host names
// it) whole, the way FileSystem::write does.
bool write_host_file(const std::string& host_path, std::span<const uint8_t> data);

// Splits an engine path at '\' and '/', dropping empty components. The
// second byte of a Shift-JIS double-byte character is never a separator
// (0x5C is a valid trail byte, as in "表").
std::vector<std::string_view> split_path(std::string_view path);

// The case-folded form of one UTF-8 name component, used to match host
// names the way the title's own file system would: ASCII, full-width Latin,
// Greek and Cyrillic letters compare without case.
std::string fold_case_utf8(std::string_view name);

}  // namespace nv::platform
