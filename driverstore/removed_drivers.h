// Copies of the driver packages the program removes, so that a removal can be undone with
// "Install drivers from folder": one time-stamped folder per batch,
//   <program data>\Pyravel\Removed drivers\<yyyy-mm-dd hh-mm-ss>\<class>\<name - maker - version>
// and the last 20 batches kept.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/date_time_text.h"
#include "base/wide_text.h"
#include "devices/device_platform.h"

namespace pyr {

inline constexpr size_t kRemovedBatchesKept = 20;
inline constexpr char16_t kNothingRemovedYet[] = u"No driver package has been removed yet, so there is nothing to put back.";

// <programData>\Pyravel\Removed drivers
WideText RemovedDriversFolder(const WideText& programData);
// "2026-12-07 18-13-46": sorts by time, and holds no character a folder name may not.
WideText BatchFolderName(const CalendarTime& time);
bool IsBatchFolderName(std::u16string_view name);
// The newest batch folder below root (the copies' folder), or empty when there is none.
WideText NewestBatchFolder(const WideText& root);
// The result line that says where a batch's copies are.
WideText CopiesKeptLine(const WideText& batchFolder);

// Of the names in a folder, the batch folders to delete, oldest first, so that at most keep of
// them remain; current (the batch being made, or empty for none) is never deleted and takes one
// of the places, and a name that is not a batch's is never deleted.
std::vector<WideText> BatchesToPrune(std::vector<WideText> names, size_t keep, const WideText& current);

// The copies of one batch. The folders are made at the first copy: %ProgramData%\Pyravel and its
// subfolder with the program's own security (a link there refuses every copy), the batch folder new.
class RemovalCopies {
 public:
  RemovalCopies(const WideText& programData, const CalendarTime& now);
  // The package of the device copied from the store; false, with nothing kept, when any of it
  // could not be (then the package must stay). copy receives the package's folder.
  bool Copy(DevicePlatform& platform, DeviceSet set, const DeviceInfo& device, WideText* copy);
  // The package stayed in the store after all: its copy is not needed.
  void Discard(const WideText& copy);
  // Deletes the batches beyond the last kRemovedBatchesKept. Returns the batch folder when it
  // holds a copy; an empty batch folder is removed and the answer is empty.
  WideText Finish();

 private:
  bool Prepare();

  WideText root_;
  uint64_t start_ = 0;  // the batch's time as a FILETIME
  WideText batchName_;
  WideText batch_;
  int prepared_ = 0;  // 0 not yet, 1 ready, -1 refused
  std::vector<WideText> kept_;  // a folder once per device whose copy it holds
};

}  // namespace pyr
