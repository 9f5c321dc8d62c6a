#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "base/date_time_text.h"

namespace pyr {
namespace {

TEST(DateTimeText, PadsEveryField) {
  CalendarTime t{987, 1, 0, 5, 3, 4, 5, 7};
  EXPECT_EQ(DateTimeText(t).ToUtf8(), "0987/01/05 03:04:05");
  EXPECT_EQ(DateTimeText(t, true).ToUtf8(), "0987/01/05 03:04:05:007");
}

struct FileTimeCase {
  uint64_t ticks;
  const char* text;
  uint16_t dayOfWeek, milliseconds;
};

TEST(CalendarFromFileTime, Table) {
  const FileTimeCase cases[] = {
      {0, "1601/01/01 00:00:00", 1, 0},                     // a Monday
      {133312608000000000ull, "2023/06/15 00:00:00", 4, 0},  // midnight
      {133537247999990000ull, "2024/02/29 23:59:59", 4, 999}, {132078816000000000ull, "2019/07/18 00:00:00", 4, 0},
      {0x7FFFFFFFFFFFFFFFull, "30828/09/14 02:48:05", 4, 477},
  };
  for (const FileTimeCase& c : cases) {
    CalendarTime t;
    ASSERT_TRUE(CalendarFromFileTime(c.ticks, &t)) << c.ticks;
    EXPECT_EQ(DateTimeText(t).ToUtf8(), c.text);
    EXPECT_EQ(t.dayOfWeek, c.dayOfWeek) << c.text;
    EXPECT_EQ(t.milliseconds, c.milliseconds) << c.text;
  }
}

// The way back, as the simulated PC dates its drivers: only real calendar dates convert.
TEST(FileTimeFromCalendar, RealDatesOnlyAndTheWayBack) {
  struct Case {
    CalendarTime t;
    bool valid;
  };
  const Case cases[] = {
      {{2024, 2, 0, 29, 23, 59, 59, 999}, true},  // a leap day of a year divisible by 4
      {{2000, 2, 0, 29, 0, 0, 0, 0}, true},       // and of one divisible by 400
      {{1900, 2, 0, 29, 0, 0, 0, 0}, false},      // a century that is no leap year
      {{2023, 2, 0, 29, 0, 0, 0, 0}, false}, {{2023, 4, 0, 31, 0, 0, 0, 0}, false},
      {{1601, 1, 0, 1, 0, 0, 0, 0}, true}, {{1600, 12, 0, 31, 0, 0, 0, 0}, false},
      {{2023, 13, 0, 1, 0, 0, 0, 0}, false}, {{2023, 1, 0, 1, 24, 0, 0, 0}, false},
      {{2023, 1, 0, 1, 0, 0, 0, 1000}, false},
  };
  for (const Case& c : cases) {
    uint64_t ticks = 0;
    ASSERT_EQ(FileTimeFromCalendar(c.t, &ticks), c.valid) << DateTimeText(c.t, true).ToUtf8();
    if (!c.valid) continue;
    CalendarTime back;
    ASSERT_TRUE(CalendarFromFileTime(ticks, &back));
    EXPECT_EQ(DateTimeText(back, true), DateTimeText(c.t, true));
  }
}

TEST(CalendarFromFileTime, RefusesTheHighBit) {
  CalendarTime t{2000, 1, 0, 1, 0, 0, 0, 0};
  const CalendarTime before = t;
  EXPECT_FALSE(CalendarFromFileTime(0x8000000000000000ull, &t));
  EXPECT_EQ(t, before);
}

struct OleCase {
  double date;
  const char* text;  // null: refused
};

TEST(CalendarFromOleDate, Table) {
  const OleCase cases[] = {
      {0.0, "1899/12/30 00:00:00"}, {2.5, "1900/01/01 12:00:00"},
      {-1.25, "1899/12/29 06:00:00"},  // the fraction counts forwards before the epoch too
      {-0.5, "1899/12/30 12:00:00"}, {45000.75, "2023/03/15 18:00:00"},
      {1.0 / 86400 * 0.49, "1899/12/30 00:00:00"},  // rounded to the second
      {1.0 / 86400 * 0.51, "1899/12/30 00:00:01"},
      {0.9999999999, "1899/12/31 00:00:00"},  // rounding carries into the next day
      {-657434.0, "0100/01/01 00:00:00"}, {2958465.5, "9999/12/31 12:00:00"}, {-657435.0, nullptr},
      {2958465.9999999, nullptr},  // rounds up into the year 10000
      {2958466.0, nullptr}, {std::numeric_limits<double>::quiet_NaN(), nullptr},
      {std::numeric_limits<double>::infinity(), nullptr},
  };
  for (const OleCase& c : cases) {
    CalendarTime t;
    const bool ok = CalendarFromOleDate(c.date, &t);
    EXPECT_EQ(ok ? DateTimeText(t).ToUtf8() : "refused", c.text ? c.text : "refused") << c.date;
    if (ok) { EXPECT_EQ(t.milliseconds, 0) << c.date; }
  }
}

}  // namespace
}  // namespace pyr
