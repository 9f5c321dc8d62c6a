#include <sys/time.h>

#include <ctime>

#include "base/time_stamp.h"

namespace pyr {

LocalTime LocalTimeNow() {
  timeval now{};
  gettimeofday(&now, nullptr);
  std::tm parts{};
  const time_t seconds = now.tv_sec;
  localtime_r(&seconds, &parts);
  return {parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday, parts.tm_hour,
          parts.tm_min,        parts.tm_sec,     static_cast<int32_t>(now.tv_usec / 1000)};
}

}  // namespace pyr
