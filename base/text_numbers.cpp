// Number formatting and parsing of WideText.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>

#include "base/wide_text.h"

namespace pyr {

namespace {

constexpr double kFractionTolerance = 9e-11;
// A double carries at most 17 significant digits; more decimals would only print noise.
constexpr int kMaxDecimals = 17;

// The runtime parsers read ASCII; other units cannot be part of a number.
std::string NarrowForParsing(std::u16string_view s) {
  std::string out;
  out.reserve(s.size());
  for (char16_t c : s) out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
  return out;
}

}  // namespace

WideText WideText::FromUInt64(uint64_t v) {
  char16_t digits[24];
  int n = 0;
  do {
    digits[n++] = static_cast<char16_t>(u'0' + v % 10);
    v /= 10;
  } while (v);
  std::u16string out;
  while (n) out.push_back(digits[--n]);
  return WideText(std::move(out));
}

WideText WideText::FromInt64(int64_t v) {
  if (v >= 0) return FromUInt64(static_cast<uint64_t>(v));
  WideText t = FromUInt64(0 - static_cast<uint64_t>(v));
  t.Prepend({u"-"});
  return t;
}

WideText WideText::FromDouble(double v) {
  if (std::isnan(v)) return WideText(u"nan");
  if (std::isinf(v)) return WideText(v < 0 ? u"-inf" : u"inf");
  const double magnitude = std::fabs(v);
  double whole = std::trunc(magnitude);
  double fraction = magnitude - whole;
  WideText integer;
  if (whole < 9.2e18) {
    integer = FromUInt64(static_cast<uint64_t>(whole));
  } else {
    // Beyond 64 bits the value has no fraction to speak of; print its digits in full.
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, "%.0f", whole);
    std::u16string digits;
    for (const char* c = buffer; *c; ++c) digits.push_back(static_cast<char16_t>(*c));
    integer = WideText(std::move(digits));
  }
  if (fraction <= kFractionTolerance) {
    if (v < 0 && !(whole == 0)) integer.Prepend({u"-"});
    return integer;
  }
  std::u16string decimals;
  double tolerance = kFractionTolerance;
  while (fraction > tolerance && static_cast<int>(decimals.size()) < kMaxDecimals) {
    fraction *= 10;
    tolerance *= 10;
    double digit = std::trunc(fraction);
    decimals.push_back(static_cast<char16_t>(u'0' + static_cast<int>(digit)));
    fraction -= digit;
  }
  WideText out;
  out.AssignConcat({v < 0 ? u"-" : u"", integer, u".", decimals});
  return out;
}

uint64_t WideText::ToUInt64() const {
  if (Empty()) return 0;
  return std::strtoull(NarrowForParsing(View()).c_str(), nullptr, 10);
}

int32_t WideText::ToInt32() const {
  if (Empty()) return 0;
  long long v = std::strtoll(NarrowForParsing(View()).c_str(), nullptr, 10);
  if (v > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (v < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(v);
}

double WideText::ToDouble() const {
  if (Empty()) return 0;
  return std::strtod(NarrowForParsing(View()).c_str(), nullptr);
}

bool WideText::IsNumber() const {
  char16_t first = At(1);
  auto digit = [](char16_t c) { return c >= u'0' && c <= u'9'; };
  if (digit(first)) return true;
  return (first == u'+' || first == u'-') && digit(At(2));
}

WideText WideText::HexEncode(const void* bytes, size_t count, unsigned options) {
  const char16_t* digits = (options & kHexLower) ? u"0123456789abcdef" : u"0123456789ABCDEF";
  const auto* data = static_cast<const uint8_t*>(bytes);
  std::u16string out;
  out.reserve(2 * count + 2);
  if (options & kHexPrefix) out.append(u"0x");
  for (size_t i = 0; i < count; ++i) {
    uint8_t b = (options & kHexReverse) ? data[count - 1 - i] : data[i];
    out.push_back(digits[b >> 4]);
    out.push_back(digits[b & 15]);
  }
  return WideText(std::move(out));
}

WideText WideText::FromUtf16BigEndian(const char16_t* units, size_t count) {
  std::u16string out;
  for (size_t i = 0; units && i < count && units[i] != 0; ++i) {
    out.push_back(static_cast<char16_t>((units[i] >> 8) | ((units[i] & 0xFF) << 8)));
  }
  return WideText(std::move(out));
}

}  // namespace pyr
