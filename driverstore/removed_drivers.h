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
#include "driverstore/package_folders.h"

namespace pyr {

inline constexpr size_t kRemovedBatchesKept = 20;
inline constexpr char16_t kNothingRemovedYet[] = u"No driver package has been removed yet, so there is nothing to put back.";

// <programData>\Pyravel\Removed drivers, or empty when a folder on that path is not the
// program's own (IsTrustedProgramFolder): nothing in a folder a standard user made is offered.
WideText RemovedDriversFolder(const WideText& programData);
// The line of a removal refused because a folder of the program's could not be made its own.
WideText ProgramFolderRefusedLine(const WideText& folder);
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
// subfolder with the program's own security (one a standard user made first, or a link, is renamed
// aside; where that fails every copy is refused), the batch folder new. Two different packages
// never share a folder; twin devices using one package share its copy.
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
  // Why no copy could be kept (ProgramFolderRefusedLine), or empty.
  const WideText& Refusal() const { return refusal_; }

 private:
  bool Prepare();
  void Remove(const WideText& copy);

  WideText root_;
  uint64_t start_ = 0;  // the batch's time as a FILETIME
  WideText batchName_;
  WideText batch_;
  int prepared_ = 0;  // 0 not yet, 1 ready, -1 refused
  std::vector<WideText> kept_;  // a folder once per device whose copy it holds
  PackageFolders folders_;
  WideText refusal_;
};

}  // namespace pyr
