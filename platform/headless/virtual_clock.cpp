#include "platform/headless/virtual_clock.h"

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>

namespace nv::platform {

namespace {

class VirtualClock final : public Clock {
 public:
  explicit VirtualClock(const LocalTime& start) : start_(start) {}

  uint64_t now_us() override { return now_.load(std::memory_order_acquire); }

  void sleep_us(uint64_t us) override {
    std::unique_lock<std::mutex> lock(mutex_);
    const uint64_t target = now_.load(std::memory_order_acquire) + us;
    for (;;) {
      // A follower acting now sees the time stand still until it is done.
      followed_.wait(lock, [&] { return !any_acting(); });
      Follower* next = nullptr;
      for (auto& [id, f] : followers_)
        if (f.deadline <= target && (!next || f.deadline < next->deadline)) next = &f;
      if (!next) break;
      if (next->deadline > now_.load(std::memory_order_acquire)) now_.store(next->deadline, std::memory_order_release);
      next->acting = true;
      followed_.notify_all();
      moved_.notify_all();
    }
    now_.store(target, std::memory_order_release);
    moved_.notify_all();
  }

  bool wait_until_us(uint64_t t_us, const std::atomic<bool>* cancel) override {
    std::unique_lock<std::mutex> lock(mutex_);
    while (now_.load(std::memory_order_acquire) < t_us) {
      if (cancel && cancel->load()) return false;
      // Woken by every sleep of the frame thread; the timeout only lets a
      // cancel request through when no one moves the time.
      moved_.wait_for(lock, std::chrono::milliseconds(5));
    }
    return !(cancel && cancel->load());
  }

  int add_follower() override {
    std::lock_guard<std::mutex> lock(mutex_);
    const int id = next_follower_++;
    followers_[id] = Follower{};
    return id;
  }

  bool follow_until(int follower, uint64_t t_us, const std::atomic<bool>* cancel) override {
    std::unique_lock<std::mutex> lock(mutex_);
    auto it = followers_.find(follower);
    if (it == followers_.end()) return false;
    it->second.deadline = t_us;
    it->second.acting = false;
    followed_.notify_all();
    for (;;) {
      it = followers_.find(follower);
      if (it == followers_.end()) return false;
      if (it->second.acting) return true;
      if (cancel && cancel->load()) {
        followers_.erase(it);
        followed_.notify_all();
        return false;
      }
      followed_.wait_for(lock, std::chrono::milliseconds(5));
    }
  }

  void remove_follower(int follower) override {
    std::lock_guard<std::mutex> lock(mutex_);
    followers_.erase(follower);
    followed_.notify_all();
  }

  LocalTime local_time() override { return add_microseconds(start_, now_us()); }
  bool is_virtual() const override { return true; }

 private:
  LocalTime start_;
  std::atomic<uint64_t> now_{0};
  std::mutex mutex_;
  std::condition_variable moved_;

  struct Follower {
    uint64_t deadline = UINT64_MAX;
    bool acting = true;
  };
  bool any_acting() const {
    for (const auto& [id, f] : followers_)
      if (f.acting) return true;
    return false;
  }
  std::map<int, Follower> followers_;
  int next_follower_ = 1;
  std::condition_variable followed_;
};

}  // namespace

std::unique_ptr<Clock> make_virtual_clock(const LocalTime& start) { return std::make_unique<VirtualClock>(start); }

}  // namespace nv::platform
