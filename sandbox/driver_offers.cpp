#include "sandbox/driver_offers.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "base/date_time_text.h"
#include "base/file_system.h"

namespace pyr {

std::vector<uint64_t> VersionParts(const WideText& version) {
  std::vector<uint64_t> parts(1, 0);
  for (char16_t c : version.View()) {
    if (c == u'.') parts.push_back(0);
    else if (c >= u'0' && c <= u'9') parts.back() = parts.back() * 10 + (c - u'0');
  }
  return parts;
}

int CompareVersions(const WideText& a, const WideText& b) {
  std::vector<uint64_t> x = VersionParts(a), y = VersionParts(b);
  x.resize(std::max(x.size(), y.size()), 0);
  y.resize(x.size(), 0);
  return x < y ? -1 : (y < x ? 1 : 0);
}

bool IdMatches(std::u16string_view packageId, std::u16string_view deviceId) {
  if (packageId.size() > deviceId.size()) return false;
  if (!WideText::EqualsNoCase(packageId, deviceId.substr(0, packageId.size()))) return false;
  return packageId.size() == deviceId.size() || deviceId[packageId.size()] == u'&';
}

DriverVer ParseDriverVer(const WideText& text) {
  DriverVer v;
  std::string s = text.ToUtf8();
  unsigned m = 0, d = 0, y = 0;
  if (std::sscanf(s.c_str(), "%u/%u/%u", &m, &d, &y) == 3) {
    CalendarTime c;
    c.year = static_cast<uint16_t>(y);
    c.month = static_cast<uint16_t>(m);
    c.day = static_cast<uint16_t>(d);
    if (!FileTimeFromCalendar(c, &v.date)) v.date = 0;
  }
  size_t comma = s.find(',');
  if (comma != std::string::npos) v.version = WideText::FromUtf8(s.c_str() + comma + 1);
  return v;
}

bool Outranks(const InfFacts& a, uint32_t rankA, const InfFacts& b, uint32_t rankB, bool bInstalled) {
  if (rankA != rankB) return rankA < rankB;
  const DriverVer x = ParseDriverVer(a.driverVer), y = ParseDriverVer(b.driverVer);
  if (x.date != y.date) return x.date > y.date;
  const int versions = CompareVersions(x.version, y.version);
  return versions > 0 || (versions == 0 && !bInstalled);
}

WideText DriverVerText(const std::optional<uint64_t>& date, const WideText& version) {
  CalendarTime c;
  if (!date || !CalendarFromFileTime(*date, &c)) return WideText();
  const auto two = [](uint16_t v) { return Concat({v < 10 ? u"0" : u"", WideText::FromUInt32(v)}); };
  return Concat({two(c.month), u"/", two(c.day), u"/", WideText::FromUInt32(c.year), u",", version});
}

InfFacts FactsOf(const DriverPackage& package) {
  InfFacts facts;
  facts.driverVer = package.driverVer;
  facts.provider = package.provider;
  facts.className = package.className;
  facts.hardwareIds = package.hardwareIds;
  return facts;
}

std::u16string_view FileNameOf(std::u16string_view path) {
  const size_t slash = path.find_last_of(u"\\/");
  return slash == std::u16string_view::npos ? path : path.substr(slash + 1);
}

bool ReadInf(std::u16string_view path, InfFacts* inf) {
  std::string bytes;
  return ReadWholeFile(WideText(path), &bytes, 1u << 20) && ParseInfText(bytes, inf);
}

}  // namespace pyr
