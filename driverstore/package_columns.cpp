#include "driverstore/package_columns.h"

#include "base/date_time_text.h"

namespace pyr {

namespace {

const PackageColumnInfo kColumns[kPackageColumnCount] = {
    {u"Published name", 110}, {u"Original name", 160}, {u"Provider", 130}, {u"Class", 100},
    {u"Version", 110},        {u"Date", 80},           {u"Size", 70},      {u"Devices", 60},
    {u"Device names", 220},   {u"State", 150},         {u"Store folder", 300},
};

WideText Two(uint16_t v) { return Concat({v < 10 ? u"0" : u"", WideText::FromUInt64(v)}); }

}  // namespace

const PackageColumnInfo& PackageColumnOf(int column) { return kColumns[column]; }

WideText SizeText(uint64_t bytes) {
  constexpr uint64_t kKb = 1024, kMb = kKb * 1024, kGb = kMb * 1024;
  if (bytes < kKb) return Concat({WideText::FromUInt64(bytes), bytes == 1 ? u" byte" : u" bytes"});
  if (bytes < kMb) return Concat({WideText::FromUInt64((bytes + kKb - 1) / kKb), u" KB"});
  const uint64_t unit = bytes < kGb ? kMb : kGb;
  const uint64_t tenths = (bytes * 10 + unit / 2) / unit;
  return Concat({WideText::FromUInt64(tenths / 10), u".", WideText::FromUInt64(tenths % 10), unit == kMb ? u" MB" : u" GB"});
}

WideText PackageSumsLine(const PackageSums& sums) {
  return Concat({WideText::FromUInt64(sums.shown), sums.shown == 1 ? u" driver package, " : u" driver packages, ",
                 SizeText(sums.totalBytes), u"; older versions ", SizeText(sums.olderBytes),
                 u"; removing the packages no device uses would free ", SizeText(sums.removableBytes), u"."});
}

const char16_t* PackageStateText(const StorePackage& package) {
  if (!package.infRead) return u"Could not be read";
  switch (package.UseKind()) {
    case PackageUseKind::kPresent: return package.older ? u"Older version, in use" : u"In use";
    case PackageUseKind::kNotPresent:
      return package.older ? u"Older version, used by devices not present" : u"Used by devices not present";
    case PackageUseKind::kNone: return package.older ? u"Older version, used by no device" : u"Used by no device";
    case PackageUseKind::kUnknown: break;
  }
  return package.older ? u"Older version, use not known" : u"Use not known";
}

WideText PackageCell(const StorePackage& p, int column) {
  switch (column) {
    case kPackagePublished: return p.publishedName;
    case kPackageOriginal: return p.originalName;
    case kPackageProvider: return p.provider;
    case kPackageClass: return p.className;
    case kPackageVersion: {
      const size_t comma = p.driverVer.View().find(u',');
      WideText version(comma == std::u16string_view::npos ? u"" : p.driverVer.View().substr(comma + 1));
      version.Trim();
      return version;
    }
    case kPackageDate: {
      CalendarTime c;
      if (!p.parts.dateValid || !CalendarFromFileTime(p.parts.date, &c)) return WideText();
      return Concat({WideText::FromUInt64(c.year), u"-", Two(c.month), u"-", Two(c.day)});
    }
    case kPackageSize: return p.size ? WideText::FromUInt64(*p.size) : WideText();
    case kPackageDevices:
      if (!p.usersKnown || (p.UseKind() == PackageUseKind::kUnknown && p.use.Total() == 0)) return WideText();
      return Concat({WideText::FromUInt64(p.use.present), u" / ", WideText::FromUInt64(p.use.notPresent)});
    case kPackageDeviceNames: {
      WideText names;
      for (const WideText& n : p.use.firstNames) names = names.Empty() ? n : Concat({names, u"; ", n});
      return names;
    }
    case kPackageState: return WideText(PackageStateText(p));
    case kPackageFolder: return p.folder;
  }
  return WideText();
}

std::vector<WideText> PackageCells(const StorePackage& package) {
  std::vector<WideText> cells;
  for (int c = 0; c < kPackageColumnCount; ++c) cells.push_back(PackageCell(package, c));
  return cells;
}

std::vector<WideText> PackageColumnTitles() {
  std::vector<WideText> titles;
  for (const PackageColumnInfo& c : kColumns) titles.push_back(WideText(c.title));
  return titles;
}

}  // namespace pyr
