#include "platform/posix/real_clock.h"

#include <chrono>
#include <ctime>
#include <thread>

namespace nv::platform {

namespace {

class RealClock final : public Clock {
 public:
  RealClock() : origin_(std::chrono::steady_clock::now()) {}

  uint64_t now_us() override {
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::microseconds>(
                                     std::chrono::steady_clock::now() - origin_)
                                     .count());
  }

  void sleep_us(uint64_t us) override { std::this_thread::sleep_for(std::chrono::microseconds(us)); }

  bool wait_until_us(uint64_t t_us, const std::atomic<bool>* cancel) override {
    while (now_us() < t_us) {
      if (cancel && cancel->load()) return false;
      uint64_t left = t_us - now_us();
      std::this_thread::sleep_for(std::chrono::microseconds(left < 5000 ? left : 5000));
    }
    return !(cancel && cancel->load());
  }

  LocalTime local_time() override {
    auto now = std::chrono::system_clock::now();
    std::time_t secs = std::chrono::system_clock::to_time_t(now);
    std::tm tm{};
    localtime_r(&secs, &tm);
    LocalTime t;
    t.year = tm.tm_year + 1900;
    t.month = tm.tm_mon + 1;
    t.day = tm.tm_mday;
    t.weekday = tm.tm_wday;
    t.hour = tm.tm_hour;
    t.minute = tm.tm_min;
    t.second = tm.tm_sec;
    t.millisecond = static_cast<int>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000);
    return t;
  }
  bool is_virtual() const override { return false; }

 private:
  std::chrono::steady_clock::time_point origin_;
};

}  // namespace

std::unique_ptr<Clock> make_real_clock() { return std::make_unique<RealClock>(); }

}  // namespace nv::platform
