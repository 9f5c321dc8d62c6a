// Local date and time as the program writes it: "YYYY/MM/DD hh:mm:ss", and with ":mmm"
// milliseconds for result lines.
#pragma once

#include <cstdint>

#include "base/wide_text.h"

namespace pyr {

struct LocalTime {
  int32_t year = 0, month = 0, day = 0;
  int32_t hour = 0, minute = 0, second = 0, millisecond = 0;
};

// The clock of the machine, in its time zone.
LocalTime LocalTimeNow();

WideText DateTimeText(const LocalTime& t);
// As above followed by a colon and the three-digit milliseconds.
WideText DateTimeMillisText(const LocalTime& t);

}  // namespace pyr
