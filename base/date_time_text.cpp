#include "base/date_time_text.h"

#include <cmath>

namespace pyr {

namespace {

constexpr uint64_t kTicksPerSecond = 10'000'000;
constexpr int64_t kSecondsPerDay = 86'400;
// Days from 1601-01-01 to 1899-12-30, the OLE epoch.
constexpr int64_t kOleEpochDays = 109'205;
// OLE dates the system accepts: 0100-01-01 to 9999-12-31 (whole days).
constexpr double kOleMin = -657'434.0;
constexpr double kOleMax = 2'958'466.0;

// Civil date (proleptic Gregorian) of a day count since 1601-01-01, a Monday; negative counts
// reach back before 1601, as OLE dates do.
void DateFromDays(int64_t days, CalendarTime* out) {
  out->dayOfWeek = static_cast<uint16_t>(((days + 1) % 7 + 7) % 7);
  // Count from 0000-03-01 so that leap days end each 4/100/400-year cycle.
  int64_t z = days + 584'694;
  const int64_t era = (z >= 0 ? z : z - 146'096) / 146'097;
  const int64_t dayOfEra = z - era * 146'097;
  const int64_t yearOfEra =
      (dayOfEra - dayOfEra / 1'460 + dayOfEra / 36'524 - dayOfEra / 146'096) / 365;
  const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const int64_t mp = (5 * dayOfYear + 2) / 153;
  const int64_t day = dayOfYear - (153 * mp + 2) / 5 + 1;
  const int64_t month = mp < 10 ? mp + 3 : mp - 9;
  const int64_t year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
  out->year = static_cast<uint16_t>(year);
  out->month = static_cast<uint16_t>(month);
  out->day = static_cast<uint16_t>(day);
}

void TimeFromSeconds(int64_t seconds, CalendarTime* out) {
  out->hour = static_cast<uint16_t>(seconds / 3600);
  out->minute = static_cast<uint16_t>(seconds / 60 % 60);
  out->second = static_cast<uint16_t>(seconds % 60);
}

// At least width digits; wider values keep all theirs.
void AppendPadded(std::u16string* out, unsigned value, int width) {
  char16_t digits[12];
  int n = 0;
  do {
    digits[n++] = static_cast<char16_t>(u'0' + value % 10);
    value /= 10;
  } while (value);
  for (int i = n; i < width; ++i) out->push_back(u'0');
  while (n) out->push_back(digits[--n]);
}

}  // namespace

bool CalendarFromFileTime(uint64_t fileTime, CalendarTime* out) {
  if (fileTime >> 63) return false;
  const uint64_t totalSeconds = fileTime / kTicksPerSecond;
  CalendarTime t;
  DateFromDays(static_cast<int64_t>(totalSeconds / kSecondsPerDay), &t);
  TimeFromSeconds(static_cast<int64_t>(totalSeconds % kSecondsPerDay), &t);
  t.milliseconds = static_cast<uint16_t>(fileTime % kTicksPerSecond / 10'000);
  *out = t;
  return true;
}

bool FileTimeFromCalendar(const CalendarTime& t, uint64_t* fileTime) {
  static constexpr int kMonthDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (t.year < 1601 || t.month < 1 || t.month > 12 || t.day < 1 || t.hour > 23 ||
      t.minute > 59 || t.second > 59 || t.milliseconds > 999) {
    return false;
  }
  const int64_t y = t.year;
  const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  if (t.day > kMonthDays[t.month - 1] + (t.month == 2 && leap ? 1 : 0)) return false;
  // Days since 0000-03-01, the inverse of DateFromDays.
  const int64_t yy = t.month <= 2 ? y - 1 : y;
  const int64_t era = yy / 400;
  const int64_t yearOfEra = yy - era * 400;
  const int64_t mp = t.month > 2 ? t.month - 3 : t.month + 9;
  const int64_t dayOfYear = (153 * mp + 2) / 5 + t.day - 1;
  const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  const int64_t days = era * 146'097 + dayOfEra - 584'694;
  const int64_t seconds = days * kSecondsPerDay + t.hour * 3600 + t.minute * 60 + t.second;
  *fileTime = static_cast<uint64_t>(seconds) * kTicksPerSecond + t.milliseconds * 10'000ull;
  return true;
}

bool CalendarFromOleDate(double date, CalendarTime* out) {
  if (!(date > kOleMin - 1.0 && date < kOleMax)) return false;  // also refuses NaN
  // The whole part counts days; the fraction is the time of day on both sides of the epoch.
  double whole = std::trunc(date);
  double fraction = std::fabs(date - whole);
  int64_t days = static_cast<int64_t>(whole);
  int64_t seconds = std::llround(fraction * kSecondsPerDay);
  if (seconds >= kSecondsPerDay) {
    // Rounding up to midnight is the next calendar day, whichever side of the epoch.
    seconds -= kSecondsPerDay;
    days += 1;
  }
  CalendarTime t;
  DateFromDays(kOleEpochDays + days, &t);
  TimeFromSeconds(seconds, &t);
  if (t.year < 100 || t.year > 9999) return false;
  *out = t;
  return true;
}

WideText DateTimeText(const CalendarTime& t, bool withMilliseconds) {
  std::u16string s;
  s.reserve(23);
  AppendPadded(&s, t.year, 4);
  s.push_back(u'/');
  AppendPadded(&s, t.month, 2);
  s.push_back(u'/');
  AppendPadded(&s, t.day, 2);
  s.push_back(u' ');
  AppendPadded(&s, t.hour, 2);
  s.push_back(u':');
  AppendPadded(&s, t.minute, 2);
  s.push_back(u':');
  AppendPadded(&s, t.second, 2);
  if (withMilliseconds) {
    s.push_back(u':');
    AppendPadded(&s, t.milliseconds, 3);
  }
  return WideText(std::move(s));
}

}  // namespace pyr
