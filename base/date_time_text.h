// Calendar conversions of the system's time formats, and the program's date-and-time text
// "YYYY/MM/DD hh:mm:ss" (device properties, result lines).
#pragma once

#include <cstdint>

#include "base/wide_text.h"

namespace pyr {

// The fields of a SYSTEMTIME.
struct CalendarTime {
  uint16_t year = 0;
  uint16_t month = 0;
  uint16_t dayOfWeek = 0;  // 0 = Sunday
  uint16_t day = 0;
  uint16_t hour = 0;
  uint16_t minute = 0;
  uint16_t second = 0;
  uint16_t milliseconds = 0;
  bool operator==(const CalendarTime&) const = default;
};

// A FILETIME (100-nanosecond units since 1601-01-01) as FileTimeToSystemTime converts it;
// false for values with the high bit set, as the system refuses them.
bool CalendarFromFileTime(uint64_t fileTime, CalendarTime* out);
// An OLE date (days since 1899-12-30, the fraction being the time of day, also for negative
// dates) as VariantTimeToSystemTime converts it: rounded to the second, milliseconds 0; false
// outside the years 100 to 9999.
bool CalendarFromOleDate(double date, CalendarTime* out);

// The FILETIME of a calendar time (day of week ignored); false before 1601 or for invalid
// fields.
bool FileTimeFromCalendar(const CalendarTime& time, uint64_t* fileTime);

// The local time now, as GetLocalTime gives it.
CalendarTime LocalTimeNow();
// The time now as a FILETIME in UTC, as GetSystemTimeAsFileTime gives it (device dates are UTC).
uint64_t FileTimeNow();

// YYYY/MM/DD hh:mm:ss, each field zero-padded; with milliseconds ":mmm" is appended.
WideText DateTimeText(const CalendarTime& time, bool withMilliseconds = false);

}  // namespace pyr
