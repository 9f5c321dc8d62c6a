#include "driverstore/store_package.h"

#include <map>
#include <string>
#include <tuple>

#include "base/date_time_text.h"

namespace pyr {

namespace {

// Digits from text[*at] up to a character not a digit; false when there are none.
bool Number(std::u16string_view text, size_t* at, uint32_t* value) {
  const size_t start = *at;
  uint64_t v = 0;
  while (*at < text.size() && text[*at] >= u'0' && text[*at] <= u'9' && v <= 0xFFFFFFFF) {
    v = v * 10 + (text[(*at)++] - u'0');
  }
  *value = static_cast<uint32_t>(v);
  return *at > start && v <= 0xFFFFFFFF;
}

bool Expect(std::u16string_view text, size_t* at, char16_t c) {
  if (*at >= text.size() || text[*at] != c) return false;
  ++*at;
  return true;
}

void SkipSpaces(std::u16string_view text, size_t* at) {
  while (*at < text.size() && (text[*at] == u' ' || text[*at] == u'\t')) ++*at;
}

std::u16string Folded(const WideText& text) {
  std::u16string folded = text.Str();
  for (char16_t& c : folded) {
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  }
  return folded;
}

// The Extension setup class: its packages add to devices that other packages install.
constexpr char16_t kExtensionClassGuid[] = u"{e2f84ce7-8efa-411c-aa69-97454ca4cb57}";

}  // namespace

DriverVerParts ParseDriverVer(std::u16string_view text) {
  DriverVerParts parts;
  size_t at = 0;
  SkipSpaces(text, &at);
  uint32_t month = 0, day = 0, year = 0;
  if (!Number(text, &at, &month) || !Expect(text, &at, u'/') || !Number(text, &at, &day) ||
      !Expect(text, &at, u'/') || !Number(text, &at, &year) || month < 1 || month > 12 || day < 1 ||
      day > 31 || year < 1601 || year > 9999) {
    return parts;
  }
  CalendarTime c;
  c.year = static_cast<uint16_t>(year);
  c.month = static_cast<uint16_t>(month);
  c.day = static_cast<uint16_t>(day);
  if (!FileTimeFromCalendar(c, &parts.date)) return parts;
  parts.dateValid = true;
  // A version the rules refuse leaves the date, which the list still shows and sorts by.
  const auto dateOnly = [&parts] { return DriverVerParts{.date = parts.date, .dateValid = true}; };
  SkipSpaces(text, &at);
  // The version is optional; up to four parts of 0-65535, the missing ones 0.
  if (at < text.size() && Expect(text, &at, u',')) {
    SkipSpaces(text, &at);
    for (int part = 0; part < 4; ++part) {
      uint32_t v = 0;
      if (!Number(text, &at, &v) || v > 0xFFFF) return dateOnly();
      parts.version |= uint64_t{v} << (16 * (3 - part));
      if (!Expect(text, &at, u'.')) break;
    }
    SkipSpaces(text, &at);
  }
  parts.valid = at == text.size();
  return parts.valid ? parts : dateOnly();
}

bool StorePackage::IsExtension() const {
  return WideText::EqualsNoCase(className.View(), u"Extension") ||
         WideText::EqualsNoCase(classGuid.View(), kExtensionClassGuid);
}

PackageUseKind StorePackage::UseKind() const {
  if (use.present > 0) return PackageUseKind::kPresent;
  if (use.notPresent > 0) return PackageUseKind::kNotPresent;
  // No device names an extension package as its INF, so no read says whether one is in use.
  if (!usersKnown || IsExtension()) return PackageUseKind::kUnknown;
  return PackageUseKind::kNone;
}

void MarkOlderVersions(std::vector<StorePackage>* packages) {
  using Key = std::tuple<std::u16string, std::u16string, std::u16string>;
  std::map<Key, std::pair<uint64_t, uint64_t>> newest;
  const auto keyOf = [](const StorePackage& p) {
    return Key{Folded(p.originalName), Folded(p.provider), Folded(p.className)};
  };
  const auto takesPart = [](const StorePackage& p) { return p.infRead && p.factsRead && p.parts.valid; };
  for (const StorePackage& p : *packages) {
    if (!takesPart(p)) continue;
    auto [it, added] = newest.try_emplace(keyOf(p), p.parts.version, p.parts.date);
    if (!added) it->second = std::max(it->second, std::pair{p.parts.version, p.parts.date});
  }
  for (StorePackage& p : *packages) {
    p.older = takesPart(p) && std::pair{p.parts.version, p.parts.date} < newest[keyOf(p)];
  }
}

PackageSums SumPackages(const std::vector<StorePackage>& packages) {
  PackageSums sums;
  for (const StorePackage& p : packages) {
    ++sums.shown;
    const uint64_t size = p.size.value_or(0);
    sums.totalBytes += size;
    if (p.older) sums.olderBytes += size;
    // Windows keeps a package any device uses, present or not, when the removal is not forced.
    if (PackageMatches(p, PackageCheckRule::kUnused)) sums.removableBytes += size;
  }
  return sums;
}

bool PackageMatches(const StorePackage& package, PackageCheckRule rule) {
  switch (rule) {
    case PackageCheckRule::kAll: return true;
    case PackageCheckRule::kNone: return false;
    case PackageCheckRule::kOlder: return package.older;
    case PackageCheckRule::kUnused: return package.UseKind() == PackageUseKind::kNone;
    case PackageCheckRule::kNotPresentOnly: return package.UseKind() == PackageUseKind::kNotPresent;
  }
  return false;
}

}  // namespace pyr
