#include "platform/instance_lock.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace nv::platform {
namespace {

std::string unique_key(const char* what) {
  return std::string("test:") + what + ":" + std::to_string(::getpid());
}

InstanceRequest wait_for_request(InstanceLock& lock) {
  for (int i = 0; i < 200; ++i) {
    InstanceRequest r = lock.take_request();
    if (r != InstanceRequest::none) return r;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return InstanceRequest::none;
}

TEST(InstanceLock, SecondHolderInAnotherProcessIsRefusedAndReachesTheFirst) {
  std::string key = unique_key("two");
  auto first = InstanceLock::acquire(key);
  ASSERT_TRUE(first);
  pid_t child = fork();
  if (child == 0) {
    // The second instance: the lock is taken, so it asks the first to raise.
    bool refused = InstanceLock::acquire(key) == nullptr;
    bool sent = send_instance_request(key, InstanceRequest::raise);
    _exit(refused && sent ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(wait_for_request(*first), InstanceRequest::raise);
  EXPECT_EQ(first->take_request(), InstanceRequest::none);  // reading clears it
}

TEST(InstanceLock, ReleasedLockCanBeTakenAgainAndDifferentKeysAreIndependent) {
  std::string key = unique_key("again");
  {
    auto a = InstanceLock::acquire(key);
    ASSERT_TRUE(a);
    auto other = InstanceLock::acquire(unique_key("other"));
    EXPECT_TRUE(other);
    EXPECT_TRUE(send_instance_request(key, InstanceRequest::saver_close));
    EXPECT_EQ(wait_for_request(*a), InstanceRequest::saver_close);
  }
  EXPECT_FALSE(send_instance_request(key, InstanceRequest::raise));  // nobody listens now
  EXPECT_TRUE(InstanceLock::acquire(key));
}

}  // namespace
}  // namespace nv::platform
