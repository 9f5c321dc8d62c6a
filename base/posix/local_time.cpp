#include <sys/time.h>

#include <ctime>

#include "base/date_time_text.h"

namespace pyr {

CalendarTime LocalTimeNow() {
  timeval now{};
  gettimeofday(&now, nullptr);
  std::tm t{};
  localtime_r(&now.tv_sec, &t);
  auto u16 = [](long v) { return static_cast<uint16_t>(v); };
  return {u16(t.tm_year + 1900), u16(t.tm_mon + 1), u16(t.tm_wday), u16(t.tm_mday),
          u16(t.tm_hour),        u16(t.tm_min),     u16(t.tm_sec),  u16(now.tv_usec / 1000)};
}

uint64_t FileTimeNow() {
  timeval now{};
  gettimeofday(&now, nullptr);
  // Seconds from 1601 to 1970.
  constexpr uint64_t kUnixEpoch = 11644473600ULL;
  return (kUnixEpoch + static_cast<uint64_t>(now.tv_sec)) * 10000000ULL +
         static_cast<uint64_t>(now.tv_usec) * 10;
}

}  // namespace pyr
