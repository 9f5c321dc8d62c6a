#include "operations/driver_backup.h"

#include <atomic>

#include "operations/device_batch.h"
#include "operations/state_commands.h"
#include "devices/property_keys.h"
#include "devices/property_reader.h"
#include "driverstore/device_backup.h"
#include "driverstore/package_folders.h"
#include "operations/backup_dialog.h"
#include "operations/worker_thread.h"
#include "base/message_kinds.h"
#include "operations/operation_texts.h"

namespace pyr {

namespace {

// Through the queue: the worker's backup.
class QueuedReport : public BackupReport {
 public:
  explicit QueuedReport(ReportQueue& queue) : queue_(queue) {}
  void Progress(const WideText& text) override { queue_.Progress(text); }
  void Line(const WideText& text) override { queue_.Line(text); }

 private:
  ReportQueue& queue_;
};

}  // namespace

int BackupCheckedDevices(OperationHost& host) {
  const std::vector<int> rows = RowsOf(host.List(), RowSource::kChecked);
  return RunPickedBackup(host, rows.size(), [&](size_t i, const BackupTarget& target, BackupReport& report,
                                               const PendingEventPump& pump) {
    DeviceInfo device;
    // The list no longer matches the device set: stop without a summary.
    if (!DeviceOfRow(host, rows[i], &device)) return BackupStep::kAbandon;
    return BackUpOneDevice(host.Platform(), host.InventorySet(), device, target, report, pump)
               ? BackupStep::kBackedUp
               : BackupStep::kNotBackedUp;
  });
}

int BackupAllDevices(OperationHost& host, uint32_t flags) {
  host.SetCancelRequested(kNotCancelled);
  bool includeNotPresent = (flags & kBackupIncludeNotPresent) != 0;
  if (flags & kBackupAskAboutNotPresent) {
    const int answer = host.AskUser(kBackupAllQuestion, kMessageYesNoCancel);
    if (answer == kAnswerCancel) return -1;
    includeNotPresent = answer == kAnswerYes;
  }
  WideText picked;
  if (!host.BrowseForFolder(&picked, kBackupFolderTitle, kBifReturnOnlyFsDirs | kBifValidate)) return -1;
  PackageFolders folders;  // the worker's alone while it runs
  BackupTarget target = MakeBackupTarget(picked, true);
  target.folders = &folders;
  OpenBackupDialog(host);

  DevicePlatform& platform = host.Platform();
  std::atomic<bool> cancel{false};
  ReportQueue queue;
  const std::optional<uint32_t> count = RunWorker(host, cancel, &queue, [&]() -> uint32_t {
    QueuedReport report(queue);
    DeviceSet set = platform.GetClassDevs(nullptr, nullptr, WindowHandle{}, kDigcfAllClasses);
    if (!set.Valid()) return 0;
    PropertyReader reader(platform);
    uint32_t backedUp = 0;
    DeviceInfo device;
    for (uint32_t i = 0; platform.EnumDeviceInfo(set, i, &device); ++i) {
      uint8_t present = 1;  // unreadable counts as present
      reader.ReadFixed(set, device, devpkey::kIsPresent, &present, 1);
      if (!present && !includeNotPresent) continue;
      if (BackUpOneDevice(platform, set, device, target, report)) ++backedUp;
      if (cancel.load()) break;
    }
    platform.DestroyDeviceInfoList(set);
    return backedUp;
  });
  ShowBackupSummaryAndWait(host, count.value_or(0), count.has_value());
  return static_cast<int>(count.value_or(0));
}

}  // namespace pyr
