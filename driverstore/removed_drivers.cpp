#include "driverstore/removed_drivers.h"

#include <algorithm>

#include "base/file_system.h"
#include "driverstore/device_backup.h"

namespace pyr {

namespace {

constexpr char16_t kBatchPattern[] = u"dddd-dd-dd dd-dd-dd";

WideText TwoDigits(uint16_t value) {
  return Concat({value < 10 ? u"0" : u"", WideText::FromUInt32(value)});
}

// The copies are made quietly: the removal's own line tells the user how it went.
class SilentReport : public BackupReport {
 public:
  void Progress(const WideText&) override {}
  void Line(const WideText&) override {}
};

}  // namespace

namespace {

WideText RemovedDriversPath(const WideText& programData) {
  WideText root = programData;
  root.StripTrailingBackslashes();
  root.Append(u"\\Pyravel\\Removed drivers");
  return root;
}

}  // namespace

WideText RemovedDriversFolder(const WideText& programData) {
  WideText root = RemovedDriversPath(programData);
  WideText pyravel = root;
  pyravel.ParentPath(false);
  for (const WideText* level : {&pyravel, &root}) {
    if (PathTaken(*level) && !IsTrustedProgramFolder(*level)) return WideText();
  }
  return root;
}

WideText ProgramFolderRefusedLine(const WideText& folder) {
  return Concat({u"No driver package was removed: ", folder,
                 u" was made by another user and could not be moved aside, so no copy could be kept."});
}

WideText BatchFolderName(const CalendarTime& t) {
  return Concat({WideText::FromUInt32(t.year), u"-", TwoDigits(t.month), u"-", TwoDigits(t.day), u" ",
                 TwoDigits(t.hour), u"-", TwoDigits(t.minute), u"-", TwoDigits(t.second)});
}

bool IsBatchFolderName(std::u16string_view name) {
  const std::u16string_view pattern(kBatchPattern);
  if (name.size() != pattern.size()) return false;
  for (size_t i = 0; i < name.size(); ++i) {
    const bool digit = name[i] >= u'0' && name[i] <= u'9';
    if (pattern[i] == u'd' ? !digit : name[i] != pattern[i]) return false;
  }
  return true;
}

WideText NewestBatchFolder(const WideText& root) {
  WideText newest;
  if (root.Empty()) return newest;  // no folder of the program's own to look in
  DirectoryIterator entries;
  // Links are neither entered nor offered: only real folders with a batch's name count.
  if (!entries.Open(Concat({root, u"\\*"}), kFoldersOnly | kSkipReparsePoints)) return newest;
  do {
    if (IsBatchFolderName(entries.Name().View()) && entries.Name().View() > newest.View()) newest = entries.Name();
  } while (entries.Next());
  return newest.Empty() ? newest : Concat({root, u"\\", newest});
}

WideText CopiesKeptLine(const WideText& batchFolder) {
  return Concat({u"A copy of each removed driver package is kept in ", batchFolder});
}

std::vector<WideText> BatchesToPrune(std::vector<WideText> names, size_t keep, const WideText& current) {
  std::erase_if(names, [&](const WideText& n) { return !IsBatchFolderName(n.View()) || n == current; });
  // The name sorts as the time does; the current batch takes one of the places kept.
  std::sort(names.begin(), names.end(), [](const WideText& a, const WideText& b) { return a.View() < b.View(); });
  const size_t others = current.Empty() || keep == 0 ? keep : keep - 1;
  names.resize(names.size() > others ? names.size() - others : 0);
  return names;
}

RemovalCopies::RemovalCopies(const WideText& programData, const CalendarTime& now)
    : root_(RemovedDriversPath(programData)) {
  // No folder to keep copies in, or no time to name them by: nothing is removed.
  if (programData.Empty() || !FileTimeFromCalendar(now, &start_)) prepared_ = -1;
}

bool RemovalCopies::Prepare() {
  if (prepared_ != 0) return prepared_ == 1;
  prepared_ = -1;
  WideText pyravel = root_;
  pyravel.ParentPath(false);
  // A folder a standard user made first is renamed aside (CreateProtectedFolder), never reused.
  for (const WideText* level : {&pyravel, &root_}) {
    if (!CreateProtectedFolder(*level)) {
      refusal_ = ProgramFolderRefusedLine(*level);
      return false;
    }
  }
  // The batch folder is made by one create that must succeed: only then is everything below it
  // the program's own. A batch started in the same second as the last one takes the next second.
  constexpr uint64_t kOneSecond = 10000000;  // in FILETIME units
  constexpr int kSecondsTried = 60;
  CalendarTime time;
  for (int i = 0; i < kSecondsTried && prepared_ != 1; ++i) {
    if (!CalendarFromFileTime(start_ + i * kOneSecond, &time)) break;
    batchName_ = BatchFolderName(time);
    batch_ = Concat({root_, u"\\", batchName_});
    if (CreateNewFolder(batch_)) prepared_ = 1;
  }
  return prepared_ == 1;
}

bool RemovalCopies::Copy(DevicePlatform& platform, DeviceSet set, const DeviceInfo& device, WideText* copy) {
  SilentReport report;
  if (!Prepare() ||
      !BackUpOneDevice(platform, set, device, BackupTarget{batch_, batch_, &folders_}, report, {}, copy)) {
    return false;
  }
  // A store folder that cannot be listed copies as an empty folder, which would put nothing back.
  DirectoryIterator entries;
  if (!entries.Open(Concat({*copy, u"\\*"}))) {
    if (std::find(kept_.begin(), kept_.end(), *copy) == kept_.end()) Remove(*copy);
    return false;
  }
  kept_.push_back(*copy);
  return true;
}

void RemovalCopies::Discard(const WideText& copy) {
  const auto it = std::find(kept_.begin(), kept_.end(), copy);
  if (it == kept_.end()) return;
  kept_.erase(it);
  // Twin devices using one package share its folder: it goes with the last of them.
  if (std::find(kept_.begin(), kept_.end(), copy) == kept_.end()) Remove(copy);
}

void RemovalCopies::Remove(const WideText& copy) {
  DeletePath(copy, 0);
  folders_.SetCopied(copy, false);
}

WideText RemovalCopies::Finish() {
  if (prepared_ != 1) return WideText();
  if (kept_.empty()) DeletePath(batch_, 0);
  std::vector<WideText> names;
  DirectoryIterator entries;
  // Links are neither entered nor removed: only real folders with a batch's name are listed.
  if (entries.Open(Concat({root_, u"\\*"}), kFoldersOnly | kSkipReparsePoints)) {
    do {
      names.push_back(entries.Name());
    } while (entries.Next());
  }
  const WideText current = kept_.empty() ? WideText() : batchName_;
  for (const WideText& old : BatchesToPrune(std::move(names), kRemovedBatchesKept, current)) {
    DeletePath(Concat({root_, u"\\", old}), 0);
  }
  return kept_.empty() ? WideText() : batch_;
}

}  // namespace pyr
