#include "platform/file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/encoding.h"
#include "platform/file_replace.h"
#include "platform/utf8.h"

namespace nv::platform {

namespace {

// Writes as much of `data` as the file takes; returns the bytes written.
size_t write_all(int fd, std::span<const uint8_t> data) {
  size_t put = 0;
  while (put < data.size()) {
    ssize_t n = ::write(fd, data.data() + put, data.size() - put);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    put += static_cast<size_t>(n);
  }
  return put;
}

bool host_exists(const std::string& p) {
  struct stat st;
  return ::stat(p.c_str(), &st) == 0;
}

bool host_is_dir(const std::string& p) {
  struct stat st;
  return ::stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string join(const std::string& dir, std::string_view name) {
  std::string r = dir;
  if (r.empty() || r.back() != '/') r += '/';
  r += name;
  return r;
}

// Finds `name` (UTF-8) in the folder `dir`: the exact name first, then a
// case-insensitive match.
std::optional<std::string> find_in_dir(const std::string& dir, const std::string& name) {
  std::string exact = join(dir, name);
  if (host_exists(exact)) return exact;
  DIR* d = ::opendir(dir.c_str());
  if (!d) return std::nullopt;
  std::string want = fold_case_utf8(name);
  std::optional<std::string> found;
  while (dirent* e = ::readdir(d)) {
    std::string_view n = e->d_name;
    if (n == "." || n == "..") continue;
    if (fold_case_utf8(n) == want) {
      found = join(dir, n);
      break;
    }
  }
  ::closedir(d);
  return found;
}

void append_utf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

uint32_t fold_code_point(uint32_t cp) {
  if (cp >= 'A' && cp <= 'Z') return cp + 0x20;
  if (cp >= 0xFF21 && cp <= 0xFF3A) return cp + 0x20;                // full-width Latin
  if (cp >= 0x0391 && cp <= 0x03A9 && cp != 0x03A2) return cp + 0x20;  // Greek
  if (cp >= 0x0410 && cp <= 0x042F) return cp + 0x20;                // Cyrillic
  if (cp >= 0x0400 && cp <= 0x040F) return cp + 0x50;
  return cp;
}

}  // namespace

std::vector<std::string_view> split_path(std::string_view path) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  for (size_t i = 0; i <= path.size(); ++i) {
    if (i == path.size() || path[i] == '\\' || path[i] == '/') {
      if (i > start) parts.push_back(path.substr(start, i - start));
      start = i + 1;
      continue;
    }
    auto b = static_cast<unsigned char>(path[i]);
    bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    if (lead && i + 1 < path.size()) ++i;  // the trail byte belongs to this character
  }
  return parts;
}

std::string fold_case_utf8(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    const size_t at = i;
    char32_t cp;
    if (next_utf8(s, i, cp)) append_utf8(out, fold_code_point(cp));
    else out += s[at];  // malformed: the byte is kept as it is
  }
  return out;
}

FileSystem::FileSystem(std::string root_dir)
    : root_(root_dir.empty() ? std::string(1, '.') : std::move(root_dir)) {}

std::optional<std::string> FileSystem::find(std::string_view path) const {
  std::string cur = (!path.empty() && path[0] == '/') ? "/" : root_;
  for (std::string_view part : split_path(path)) {
    std::string name = sjis_to_utf8(part);
    if (part == "." || part == "..") {
      cur = join(cur, part);
      if (!host_exists(cur)) return std::nullopt;
      continue;
    }
    auto next = find_in_dir(cur, name);
    if (!next) return std::nullopt;
    cur = std::move(*next);
  }
  return cur;
}

std::string FileSystem::host_path(std::string_view path) const {
  std::string cur = (!path.empty() && path[0] == '/') ? "/" : root_;
  bool searching = true;
  for (std::string_view part : split_path(path)) {
    std::string name = sjis_to_utf8(part);
    if (searching && part != "." && part != "..") {
      if (auto next = find_in_dir(cur, name)) {
        cur = std::move(*next);
        continue;
      }
      searching = false;
    }
    cur = join(cur, name);
  }
  return cur;
}

FileRead FileSystem::read(std::string_view path) const {
  FileRead r;
  auto host = find(path);
  if (!host) return r;
  r.status = FileStatus::unreadable;
  int fd = ::open(host->c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return r;
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return r;
  }
  std::vector<uint8_t> data(static_cast<size_t>(st.st_size));
  size_t got = 0;
  while (got < data.size()) {
    ssize_t n = ::read(fd, data.data() + got, data.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += static_cast<size_t>(n);
  }
  ::close(fd);
  if (got != data.size()) return r;
  r.status = FileStatus::ok;
  r.data = std::move(data);
  return r;
}

ReadFile::ReadFile(ReadFile&& other) noexcept : fd_(other.fd_), size_(other.size_) {
  other.fd_ = -1;
  other.size_ = 0;
}

ReadFile& ReadFile::operator=(ReadFile&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = other.fd_;
    size_ = other.size_;
    other.fd_ = -1;
    other.size_ = 0;
  }
  return *this;
}

ReadFile::~ReadFile() {
  if (fd_ >= 0) ::close(fd_);
}

bool ReadFile::read_at(uint64_t offset, std::span<uint8_t> out) const {
  if (fd_ < 0 || offset > size_ || out.size() > size_ - offset) return false;
  size_t got = 0;
  while (got < out.size()) {
    ssize_t n = ::pread(fd_, out.data() + got, out.size() - got, static_cast<off_t>(offset + got));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    got += static_cast<size_t>(n);
  }
  return true;
}

ReadFile ReadFile::open_host(const std::string& host_path) {
  ReadFile f;
  int fd = ::open(host_path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return f;
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return f;
  }
  f.fd_ = fd;
  f.size_ = static_cast<uint64_t>(st.st_size);
  return f;
}

OpenedFile FileSystem::open_read(std::string_view path) const {
  OpenedFile r;
  auto host = find(path);
  if (!host) return r;
  r.file = ReadFile::open_host(*host);
  r.status = r.file.is_open() ? FileStatus::ok : FileStatus::unreadable;
  return r;
}

std::optional<FileStat> FileSystem::stat(std::string_view path) const {
  auto host = find(path);
  if (!host) return std::nullopt;
  struct stat st;
  if (::stat(host->c_str(), &st) != 0) return std::nullopt;
  FileStat s;
  s.is_directory = S_ISDIR(st.st_mode);
  s.size = static_cast<uint64_t>(st.st_size);
  s.modified_unix = st.st_mtime;
  return s;
}

bool FileSystem::is_directory(std::string_view path) const {
  auto host = find(path);
  return host && host_is_dir(*host);
}

bool FileSystem::write(std::string_view path, std::span<const uint8_t> data) const {
  return write_host_file(host_path(path), data);
}

bool write_host_file(const std::string& target, std::span<const uint8_t> data) {
  const std::span<const uint8_t> pieces[] = {data};
  return replace_file(target, pieces).ok();
}

bool FileSystem::append(std::string_view path, std::span<const uint8_t> data) const {
  std::string target = host_path(path);
  int fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  size_t put = write_all(fd, data);
  return ::close(fd) == 0 && put == data.size();
}

bool FileSystem::make_directory(std::string_view path) const {
  std::string target = host_path(path);
  return ::mkdir(target.c_str(), 0755) == 0 || (errno == EEXIST && host_is_dir(target));
}

bool FileSystem::remove(std::string_view path) const {
  auto host = find(path);
  if (!host) return false;
  return host_is_dir(*host) ? ::rmdir(host->c_str()) == 0 : ::unlink(host->c_str()) == 0;
}

std::vector<DirEntry> FileSystem::list(std::string_view path) const {
  std::vector<DirEntry> out;
  auto host = find(path);
  if (!host) return out;
  DIR* d = ::opendir(host->c_str());
  if (!d) return out;
  while (dirent* e = ::readdir(d)) {
    std::string_view n = e->d_name;
    if (n == "." || n == "..") continue;
    DirEntry entry;
    entry.name = utf8_to_sjis(n);
    struct stat st;
    std::string full = join(*host, n);
    if (::stat(full.c_str(), &st) == 0) {
      entry.is_directory = S_ISDIR(st.st_mode);
      entry.size = static_cast<uint64_t>(st.st_size);
    }
    out.push_back(std::move(entry));
  }
  ::closedir(d);
  return out;
}

}  // namespace nv::platform
