// One running instance per title.
//
// A title is identified by its key. The first instance holds a lock file
// and listens on a local socket; a second start finds the lock taken and
// sends the first a request through the socket instead (raise its window,
// or close it when the title runs as a screen saver), which the first one's
// main loop picks up.
#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <thread>

namespace nv::platform {

enum class InstanceRequest : int { none = 0, raise = 1, saver_close = 2 };

class InstanceLock {
 public:
  // Takes the lock of `key`; nullptr when another process holds it.
  static std::unique_ptr<InstanceLock> acquire(const std::string& key);
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  // The newest request a second instance sent, cleared by reading it.
  InstanceRequest take_request() { return static_cast<InstanceRequest>(request_.exchange(0)); }

 private:
  InstanceLock(int lock_fd, int listen_fd);
  void serve();

  int lock_fd_;
  int listen_fd_;
  int wake_fd_[2] = {-1, -1};
  std::atomic<int> request_{0};
  std::thread server_;
};

// Sends `request` to the instance that holds `key`; false when none answers.
bool send_instance_request(const std::string& key, InstanceRequest request);

// The folder that holds the lock files of this user.
std::string instance_lock_dir();

}  // namespace nv::platform
