#include "platform/instance_lock.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

namespace nv::platform {

namespace {

// FNV-1a: keys are long paths; the lock and socket names need a short,
// stable form of them.
std::string key_hash(const std::string& key) {
  uint64_t h = 1469598103934665603ull;
  for (unsigned char c : key) {
    h ^= c;
    h *= 1099511628211ull;
  }
  char buf[17];
  std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(h));
  return buf;
}

// Abstract-namespace socket address (Linux): nothing on disk to clean up.
sockaddr_un socket_address(const std::string& key, socklen_t& len) {
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::string name = "nivalo-" + std::to_string(::getuid()) + "-" + key_hash(key);
  addr.sun_path[0] = '\0';
  std::memcpy(addr.sun_path + 1, name.data(), name.size());
  len = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
  return addr;
}

}  // namespace

std::string instance_lock_dir() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  std::string dir = (runtime && *runtime) ? std::string(runtime) + "/nivalo"
                                          : "/tmp/nivalo-" + std::to_string(::getuid());
  ::mkdir(dir.c_str(), 0700);
  return dir;
}

std::unique_ptr<InstanceLock> InstanceLock::acquire(const std::string& key) {
  std::string path = instance_lock_dir() + "/" + key_hash(key) + ".lock";
  int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return nullptr;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return nullptr;
  }
  int s = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (s >= 0) {
    socklen_t len;
    sockaddr_un addr = socket_address(key, len);
    if (::bind(s, reinterpret_cast<sockaddr*>(&addr), len) != 0 || ::listen(s, 4) != 0) {
      ::close(s);
      s = -1;  // the lock still holds; only raising the window is lost
    }
  }
  return std::unique_ptr<InstanceLock>(new InstanceLock(fd, s));
}

InstanceLock::InstanceLock(int lock_fd, int listen_fd) : lock_fd_(lock_fd), listen_fd_(listen_fd) {
  if (listen_fd_ >= 0 && ::pipe2(wake_fd_, O_CLOEXEC) == 0) server_ = std::thread([this] { serve(); });
}

InstanceLock::~InstanceLock() {
  if (server_.joinable()) {
    char c = 'q';
    (void)!::write(wake_fd_[1], &c, 1);
    server_.join();
  }
  for (int fd : wake_fd_)
    if (fd >= 0) ::close(fd);
  if (listen_fd_ >= 0) ::close(listen_fd_);
  ::flock(lock_fd_, LOCK_UN);
  ::close(lock_fd_);
}

void InstanceLock::serve() {
  for (;;) {
    pollfd fds[2] = {{listen_fd_, POLLIN, 0}, {wake_fd_[0], POLLIN, 0}};
    if (::poll(fds, 2, -1) < 0) continue;
    if (fds[1].revents) return;
    if (!(fds[0].revents & POLLIN)) continue;
    int c = ::accept4(listen_fd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (c < 0) continue;
    pollfd cf{c, POLLIN, 0};
    char buf[16] = {};
    if (::poll(&cf, 1, 1000) > 0) {
      ssize_t n = ::read(c, buf, sizeof buf - 1);
      if (n > 0) {
        std::string msg(buf, static_cast<size_t>(n));
        if (msg.rfind("raise", 0) == 0) request_ = static_cast<int>(InstanceRequest::raise);
        else if (msg.rfind("saver", 0) == 0) request_ = static_cast<int>(InstanceRequest::saver_close);
        (void)!::write(c, "ok\n", 3);
      }
    }
    ::close(c);
  }
}

bool send_instance_request(const std::string& key, InstanceRequest request) {
  int s = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (s < 0) return false;
  socklen_t len;
  sockaddr_un addr = socket_address(key, len);
  bool ok = false;
  if (::connect(s, reinterpret_cast<sockaddr*>(&addr), len) == 0) {
    const char* msg = request == InstanceRequest::saver_close ? "saver\n" : "raise\n";
    if (::write(s, msg, 6) == 6) {
      pollfd pf{s, POLLIN, 0};
      char buf[4];
      ok = ::poll(&pf, 1, 2000) > 0 && ::read(s, buf, sizeof buf) > 0;
    }
  }
  ::close(s);
  return ok;
}

}  // namespace nv::platform
