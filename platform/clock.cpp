#include "platform/clock.h"

#include <chrono>
#include <condition_variable>
#include <ctime>
#include <mutex>
#include <thread>

namespace nv::platform {

namespace {

// Days from 1970-01-01 to the given civil date (proleptic Gregorian).
int64_t days_from_civil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

void civil_from_days(int64_t z, int& y, int& m, int& d) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(static_cast<int64_t>(yoe) + era * 400 + (m <= 2));
}

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

LocalTime add_microseconds(const LocalTime& t, uint64_t us) {
  int64_t days = days_from_civil(t.year, static_cast<unsigned>(t.month), static_cast<unsigned>(t.day));
  uint64_t ms_of_day = ((uint64_t(t.hour) * 60 + uint64_t(t.minute)) * 60 + uint64_t(t.second)) * 1000 +
                       uint64_t(t.millisecond) + us / 1000;
  days += static_cast<int64_t>(ms_of_day / 86400000);
  ms_of_day %= 86400000;
  LocalTime r;
  civil_from_days(days, r.year, r.month, r.day);
  r.weekday = static_cast<int>(((days % 7) + 11) % 7);  // 1970-01-01 was a Thursday
  r.hour = static_cast<int>(ms_of_day / 3600000);
  r.minute = static_cast<int>(ms_of_day / 60000 % 60);
  r.second = static_cast<int>(ms_of_day / 1000 % 60);
  r.millisecond = static_cast<int>(ms_of_day % 1000);
  return r;
}

std::unique_ptr<Clock> make_virtual_clock(const LocalTime& start) { return std::make_unique<VirtualClock>(start); }
std::unique_ptr<Clock> make_real_clock() { return std::make_unique<RealClock>(); }

}  // namespace nv::platform
