#include "platform/file_replace.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace nv::platform {

namespace {

constexpr std::string_view kTempSuffix = ".nvtmp";
constexpr size_t kUniquePart = 6;  // the XXXXXX of the temporary's name

ReplaceResult failure(int error) {
  ReplaceResult r;
  r.error = error;
  char buf[256];
  r.text = strerror_r(error, buf, sizeof buf);
  return r;
}

// The fault the environment asks for at `step`: 0 for none, else the error
// number to fail with (the process is killed here for "kill").
int injected_fault(int step) {
  const char* spec = std::getenv(kReplaceFaultVariable);
  if (!spec) return 0;
  char* end = nullptr;
  long at = std::strtol(spec, &end, 10);
  if (end == spec || *end != ':' || at != step) return 0;
  std::string_view action(end + 1);
  if (action == "kill") ::raise(SIGKILL);
  long error = std::strtol(end + 1, nullptr, 10);
  return error > 0 ? static_cast<int>(error) : 0;
}

int write_all(int fd, std::span<const uint8_t> data) {
  size_t put = 0;
  while (put < data.size()) {
    ssize_t n = ::write(fd, data.data() + put, data.size() - put);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (n == 0) return EIO;
    put += static_cast<size_t>(n);
  }
  return 0;
}

int fsync_folder(const std::string& folder) {
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return errno;
  int error = ::fsync(fd) == 0 ? 0 : errno;
  ::close(fd);
  // Some file systems cannot flush a folder; the rename stands as it is.
  return error == EINVAL ? 0 : error;
}

// Removes "<name>.XXXXXX.nvtmp" files in `folder` left by replaces that died.
void remove_stale_temporaries(const std::string& folder, std::string_view name) {
  DIR* d = ::opendir(folder.c_str());
  if (!d) return;
  while (dirent* e = ::readdir(d)) {
    std::string_view n = e->d_name;
    if (n.size() != name.size() + 1 + kUniquePart + kTempSuffix.size() || !n.starts_with(name) ||
        n[name.size()] != '.' || !n.ends_with(kTempSuffix))
      continue;
    ::unlinkat(::dirfd(d), e->d_name, 0);
  }
  ::closedir(d);
}

}  // namespace

ReplaceResult replace_file(const std::string& host_path, std::span<const std::span<const uint8_t>> pieces) {
  size_t slash = host_path.rfind('/');
  std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : host_path.substr(0, slash);
  std::string_view name = slash == std::string::npos ? std::string_view(host_path)
                                                     : std::string_view(host_path).substr(slash + 1);

  std::string temp = host_path + "." + std::string(kUniquePart, 'X') + std::string(kTempSuffix);
  int fd = ::mkostemps(temp.data(), static_cast<int>(kTempSuffix.size()), O_CLOEXEC);
  if (fd < 0) return failure(errno);
  // The replacement keeps the old file's permissions; a new file gets the
  // usual ones (mkostemps makes it private).
  struct stat old;
  ::fchmod(fd, ::stat(host_path.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644);

  int step = 0;
  int error = injected_fault(++step);
  for (size_t k = 0; !error && k < pieces.size(); ++k) {
    error = write_all(fd, pieces[k]);
    if (!error) error = injected_fault(++step);
  }
  if (!error) error = ::fsync(fd) == 0 ? 0 : errno;
  if (!error) error = injected_fault(++step);
  if (::close(fd) != 0 && !error) error = errno;
  if (!error) error = ::rename(temp.c_str(), host_path.c_str()) == 0 ? 0 : errno;
  if (error) {
    ::unlink(temp.c_str());
    return failure(error);
  }
  step = static_cast<int>(pieces.size()) + 3;
  error = injected_fault(step);
  if (!error) error = fsync_folder(folder);
  if (!error) error = injected_fault(++step);
  if (error) return failure(error);
  remove_stale_temporaries(folder, name);
  return {};
}

}  // namespace nv::platform
