#include "platform/headless/virtual_clock.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace nv::platform {

namespace {

class VirtualClock final : public Clock {
 public:
  explicit VirtualClock(const LocalTime& start) : start_(start) {}

  uint64_t now_us() override { return now_.load(std::memory_order_acquire); }

  void sleep_us(uint64_t us) override {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      now_.fetch_add(us, std::memory_order_acq_rel);
    }
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

  LocalTime local_time() override { return add_microseconds(start_, now_us()); }
  bool is_virtual() const override { return true; }

 private:
  LocalTime start_;
  std::atomic<uint64_t> now_{0};
  std::mutex mutex_;
  std::condition_variable moved_;
};

}  // namespace

std::unique_ptr<Clock> make_virtual_clock(const LocalTime& start) { return std::make_unique<VirtualClock>(start); }

}  // namespace nv::platform
