#include "platform/clock.h"

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

}  // namespace nv::platform
