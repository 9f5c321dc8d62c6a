// Linux stand-ins for the Windows code-page conversions: UTF-8 decoded as MultiByteToWideChar
// does (invalid sequences become U+FFFD), and the ANSI code page taken as Windows-1252.
#include <cstring>

#include "base/wide_text.h"

namespace pyr {

namespace {

constexpr char16_t kReplacement = 0xFFFD;

// Windows-1252 differs from Latin-1 in 0x80..0x9F; unassigned bytes map to themselves there.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

}  // namespace

WideText WideText::FromAnsi(const char* bytes) {
  std::u16string out;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(bytes); p && *p; ++p) {
    out.push_back(*p >= 0x80 && *p < 0xA0 ? kCp1252High[*p - 0x80] : *p);
  }
  return WideText(std::move(out));
}

WideText WideText::FromUtf8(const char* bytes, size_t count) {
  if (!bytes) return WideText();
  if (count == 0) count = std::strlen(bytes);
  const auto* s = reinterpret_cast<const unsigned char*>(bytes);
  std::u16string out;
  size_t i = 0;
  // As on Windows, a converted zero ends the text.
  while (i < count && s[i] != 0) {
    unsigned char b = s[i];
    int extra = b < 0x80 ? 0 : (b & 0xE0) == 0xC0 ? 1 : (b & 0xF0) == 0xE0 ? 2 : (b & 0xF8) == 0xF0 ? 3 : -1;
    if (extra < 0) {
      out.push_back(kReplacement);
      ++i;
      continue;
    }
    uint32_t c = extra == 0 ? b : b & (0x3F >> extra);
    size_t j = 1;
    for (; j <= static_cast<size_t>(extra) && i + j < count && (s[i + j] & 0xC0) == 0x80; ++j) {
      c = (c << 6) | (s[i + j] & 0x3F);
    }
    static constexpr uint32_t kMinimum[4] = {0, 0x80, 0x800, 0x10000};
    if (j != static_cast<size_t>(extra) + 1 || c < kMinimum[extra] || c > 0x10FFFF ||
        (c >= 0xD800 && c < 0xE000)) {
      out.push_back(kReplacement);
      i += j;
      continue;
    }
    if (c >= 0x10000) {
      c -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(c));
    }
    i += j;
  }
  return WideText(std::move(out));
}

}  // namespace pyr
