// The portable calendar conversions agree with the system's own.
#include <gtest/gtest.h>

#include <windows.h>
#include <oleauto.h>

#include <cmath>
#include <cstdint>
#include <random>

#include "base/date_time_text.h"

namespace pyr {
namespace {

CalendarTime FromSystem(const SYSTEMTIME& s) {
  return CalendarTime{s.wYear, s.wMonth, s.wDayOfWeek, s.wDay,
                      s.wHour, s.wMinute, s.wSecond, s.wMilliseconds};
}

void ExpectSameAsFileTimeToSystemTime(uint64_t ticks) {
  FILETIME ft;
  ft.dwLowDateTime = static_cast<DWORD>(ticks);
  ft.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
  SYSTEMTIME st{};
  const bool systemOk = FileTimeToSystemTime(&ft, &st) != FALSE;
  CalendarTime ours;
  ASSERT_EQ(CalendarFromFileTime(ticks, &ours), systemOk) << ticks;
  if (systemOk) {
    EXPECT_EQ(ours, FromSystem(st)) << ticks << " " << DateTimeText(ours, true).ToUtf8();
  }
}

void ExpectSameAsVariantTimeToSystemTime(double date) {
  SYSTEMTIME st{};
  const bool systemOk = VariantTimeToSystemTime(date, &st) != FALSE;
  CalendarTime ours;
  ASSERT_EQ(CalendarFromOleDate(date, &ours), systemOk) << date;
  if (systemOk) {
    // Compare the fields the program shows, and the day of the week.
    CalendarTime theirs = FromSystem(st);
    EXPECT_EQ(DateTimeText(ours).ToUtf8(), DateTimeText(theirs).ToUtf8()) << date;
    EXPECT_EQ(ours.dayOfWeek, theirs.dayOfWeek) << date;
  }
}

TEST(CalendarAgainstTheSystem, FileTimesAtTheEdgesAndAtRandom) {
  const uint64_t edges[] = {0,
                            1,
                            9'999,
                            10'000,
                            864'000'000'000ull - 1,  // the last tick of the first day
                            864'000'000'000ull,
                            116'444'736'000'000'000ull,  // 1970-01-01
                            125'911'584'000'000'000ull,  // 2000-01-01
                            126'227'808'000'000'000ull,  // 2001-01-01, after a leap year
                            133'537'247'999'990'000ull,
                            0x7FFFFFFFFFFFFFFFull,
                            0x8000000000000000ull,
                            0xFFFFFFFFFFFFFFFFull};
  for (uint64_t t : edges) ExpectSameAsFileTimeToSystemTime(t);
  std::mt19937_64 random(20240229);
  std::uniform_int_distribution<uint64_t> anyTime(0, 0x7FFFFFFFFFFFFFFFull);
  // Mostly the years drivers come from, and some across the whole range.
  std::uniform_int_distribution<uint64_t> recent(120'000'000'000'000'000ull,
                                                 140'000'000'000'000'000ull);
  for (int i = 0; i < 20000; ++i) {
    ExpectSameAsFileTimeToSystemTime(i % 4 ? recent(random) : anyTime(random));
  }
}

TEST(CalendarAgainstTheSystem, OleDatesAtTheEdgesAndAtRandom) {
  const double edges[] = {0.0,       0.5,       1.0,       -1.0,       -0.5,     -1.25,
                          -1.75,     59.0,      60.0,      61.0,       36526.0,  45000.75,
                          -657434.0, -657434.5, 2958465.0, 2958465.99, 2958466.0, -657435.0,
                          1e10,      -1e10};
  for (double d : edges) ExpectSameAsVariantTimeToSystemTime(d);
  std::mt19937_64 random(1899);
  std::uniform_real_distribution<double> anyDate(-657434.0, 2958465.0);
  std::uniform_int_distribution<int> days(30000, 50000);
  std::uniform_int_distribution<int> seconds(0, 86399);
  for (int i = 0; i < 20000; ++i) {
    // Whole seconds away from the rounding point, and arbitrary fractions.
    double d = i % 2 ? anyDate(random) : days(random) + (seconds(random) + 0.25) / 86400.0;
    ExpectSameAsVariantTimeToSystemTime(d);
  }
}

}  // namespace
}  // namespace pyr
