#include "driverstore/backup_rules.h"

#include "base/text_list.h"

namespace pyr {

WideText BackupRoot(const WideText& picked, bool wholePc) {
  WideText root = picked;
  root.StripTrailingBackslashes();
  if (wholePc && !root.Contains(u"\\DriverBackup", false)) root.Append(u"\\DriverBackup");
  return root;
}

BackupTarget MakeBackupTarget(const WideText& picked, bool wholePc) {
  BackupTarget target{picked, BackupRoot(picked, wholePc)};
  target.chosen.StripTrailingBackslashes();
  return target;
}

namespace {

// What a file name cannot hold: the separators and wildcards the system reads, quotes, pipes and
// the control characters.
bool CannotBeInAName(char16_t c) { return c < 0x20 || std::u16string_view(u"/:*?\"<>|").find(c) != std::u16string_view::npos; }

bool IsAsciiLetter(char16_t c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); }

}  // namespace

WideText UsableName(std::u16string_view given) {
  std::u16string replaced(given);
  for (char16_t& c : replaced) {
    if (CannotBeInAName(c)) c = u'_';
  }
  const std::u16string_view name(replaced);
  const size_t end = name.find_last_not_of(u". ");
  if (end == std::u16string_view::npos) return WideText();
  std::u16string usable(name.substr(0, end + 1));
  const size_t dot = usable.find(u'.');
  std::u16string_view stem = std::u16string_view(usable).substr(0, dot);
  const size_t stemEnd = stem.find_last_not_of(u' ');
  stem = stem.substr(0, stemEnd == std::u16string_view::npos ? 0 : stemEnd + 1);
  static constexpr const char16_t* kDeviceNames[] = {
      u"CON",  u"PRN",  u"AUX",  u"NUL",  u"CONIN$", u"CONOUT$", u"COM1", u"COM2", u"COM3", u"COM4",
      u"COM5", u"COM6", u"COM7", u"COM8", u"COM9",   u"COM\u00B9", u"COM\u00B2", u"COM\u00B3", u"LPT1", u"LPT2",
      u"LPT3", u"LPT4", u"LPT5", u"LPT6", u"LPT7",   u"LPT8",   u"LPT9", u"LPT\u00B9", u"LPT\u00B2", u"LPT\u00B3"};
  for (const char16_t* device : kDeviceNames) {
    if (WideText::EqualsNoCase(stem, device)) {
      usable.insert(stem.size(), u"_");
      break;
    }
  }
  return WideText(std::move(usable));
}

bool PartStaysInside(std::u16string_view part) {
  if (part.empty()) return false;
  // The forms the system reads as a place of their own, with either separator: a root or a
  // server's share ("\x", "\\server", "\\?\"), a drive ("C:", "C:x"), a stream ("name::$DATA").
  if (part[0] == u'\\' || part[0] == u'/') return false;
  if (part.size() >= 2 && part[1] == u':' && IsAsciiLetter(part[0])) return false;
  if (part.find(u":$") != std::u16string_view::npos) return false;
  size_t start = 0;
  for (;;) {
    size_t end = part.find(u'\\', start);
    std::u16string_view level = part.substr(start, end == std::u16string_view::npos ? part.npos : end - start);
    // An empty level comes from a doubled backslash; a level of dots and spaces only is "." or
    // ".." once the system trims it.
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
  WideText path = root;
  path.StripTrailingBackslashes();
  for (const WideText* part : {&className, &leaf}) {
    const TextList levels = Split(part->View(), u"\\", true);
    for (const std::u16string& level : levels.Pieces()) path.Append({u"\\", UsableName(level)});
  }
  *folder = std::move(path);
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
