#include "base/time_stamp.h"

#include <string>

namespace pyr {

namespace {

// Zero-padded to at least `digits`; negative parts cannot come from a clock.
void AppendPadded(std::u16string& out, int32_t value, int digits) {
  char16_t buffer[12];
  int n = 0;
  uint32_t v = value < 0 ? 0u : static_cast<uint32_t>(value);
  do {
    buffer[n++] = static_cast<char16_t>(u'0' + v % 10);
    v /= 10;
  } while (v);
  for (int i = n; i < digits; ++i) out.push_back(u'0');
  while (n) out.push_back(buffer[--n]);
}

std::u16string DateTime(const LocalTime& t) {
  std::u16string s;
  s.reserve(24);
  AppendPadded(s, t.year, 4);
  s.push_back(u'/');
  AppendPadded(s, t.month, 2);
  s.push_back(u'/');
  AppendPadded(s, t.day, 2);
  s.push_back(u' ');
  AppendPadded(s, t.hour, 2);
  s.push_back(u':');
  AppendPadded(s, t.minute, 2);
  s.push_back(u':');
  AppendPadded(s, t.second, 2);
  return s;
}

}  // namespace

WideText DateTimeText(const LocalTime& t) { return WideText(DateTime(t)); }

WideText DateTimeMillisText(const LocalTime& t) {
  std::u16string s = DateTime(t);
  s.push_back(u':');
  AppendPadded(s, t.millisecond, 3);
  return WideText(std::move(s));
}

}  // namespace pyr
