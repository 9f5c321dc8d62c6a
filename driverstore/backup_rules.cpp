#include "driverstore/backup_rules.h"

namespace pyr {

WideText BackupRoot(const WideText& picked, bool wholePc) {
  WideText root = picked;
  root.StripTrailingBackslashes();
  if (wholePc && !root.Contains(u"\\DriverBackup", false)) root.Append(u"\\DriverBackup");
  return root;
}

bool PartStaysInside(std::u16string_view part) {
  if (part.empty()) return false;
  // A colon names a drive or a stream; a slash is a separator to the system as well.
  if (part.find_first_of(u":/") != std::u16string_view::npos) return false;
  size_t start = 0;
  for (;;) {
    size_t end = part.find(u'\\', start);
    std::u16string_view level = part.substr(start, end == std::u16string_view::npos ? part.npos : end - start);
    // An empty level comes from a "\\" prefix or a doubled backslash; a level of dots and spaces
    // only is "." or ".." once the system trims it.
    if (level.find_first_not_of(u". ") == std::u16string_view::npos) return false;
    if (end == std::u16string_view::npos) return true;
    start = end + 1;
  }
}

bool DeviceBackupFolder(const WideText& root, const BackupFolderParts& parts, WideText* folder) {
  WideText className = parts.className.Empty() ? WideText(kUnknownClass) : parts.className;
  WideText leaf = parts.name;
  if (parts.manufacturer) leaf.Append({u" - ", *parts.manufacturer});
  if (parts.version) leaf.Append({u" - ", *parts.version});
  if (!PartStaysInside(className.View()) || !PartStaysInside(leaf.View())) return false;
  WideText base = root;
  base.StripTrailingBackslashes();
  folder->AssignConcat({base, u"\\", className, u"\\", leaf});
  return true;
}

WideText BackupSummary(bool cancelled, uint32_t count) {
  return Concat({cancelled ? u"Operation cancelled. " : u"Operation complete. ", WideText::FromUInt32(count),
                 count == 1 ? u" driver" : u" drivers", u" backed up."});
}

WideText StoreFolderOfInf(const WideText& infInStore) {
  int slash = infInStore.Find(u"\\", true, -1);
  return slash == 0 ? WideText() : WideText(infInStore.View().substr(0, slash - 1));
}

}  // namespace pyr
