#include "operations/driver_backup.h"

#include <atomic>

#include "operations/device_batch.h"
#include "operations/state_commands.h"
#include "devices/property_keys.h"
#include "devices/property_reader.h"
#include "driverstore/device_backup.h"
#include "driverstore/package_folders.h"
#include "operations/worker_thread.h"
#include "base/message_kinds.h"
#include "operations/operation_texts.h"

namespace pyr {

namespace {

constexpr uint32_t kBifReturnOnlyFsDirs = 0x1;
constexpr uint32_t kBifValidate = 0x20;

void DrainPending(OperationHost& host) {
  while (host.PumpEvent(kPumpPending)) {
  }
}

// Straight to the dialog: the interface thread's own backup.
class HostReport : public BackupReport {
 public:
  explicit HostReport(OperationHost& host) : host_(host) {}
  void Progress(const WideText& text) override { host_.SetProgress(kProgressTextOnly, &text); }
  void Line(const WideText& text) override { host_.AddResultLine(text); }

 private:
  OperationHost& host_;
};

// Through the queue: the worker's backup.
class QueuedReport : public BackupReport {
 public:
  explicit QueuedReport(ReportQueue& queue) : queue_(queue) {}
  void Progress(const WideText& text) override { queue_.Progress(text); }
  void Line(const WideText& text) override { queue_.Line(text); }

 private:
  ReportQueue& queue_;
};

void OpenBackupDialog(OperationHost& host) {
  host.OpenResultsDialog(kBackupPreparing);
  host.SetProgress(kProgressSpinner, nullptr);
  host.AddCancelButton();
  host.ShowDialog();
}

// The summary, or with started false the notice that nothing could start.
void ShowSummaryAndWait(OperationHost& host, uint32_t count, bool started = true) {
  const WideText summary =
      started ? BackupSummary(host.CancelRequested() != kNotCancelled, count) : WideText(kOperationNotStarted);
  host.SetProgress(100, &summary);
  host.MarkFinished();
  while (!host.CancelRequested()) host.PumpEvent(kPumpRefreshing);
  host.CloseDialog();
}

}  // namespace

int BackupCheckedDevices(OperationHost& host) {
  host.SetCancelRequested(kNotCancelled);
  const std::vector<int> rows = RowsOf(host.List(), RowSource::kChecked);
  if (rows.empty()) return 0;
  WideText picked;
  if (!host.BrowseForFolder(&picked, kBackupFolderTitle, kBifValidate)) return -1;
  PackageFolders folders;
  BackupTarget target = MakeBackupTarget(picked, false);
  target.folders = &folders;
  OpenBackupDialog(host);
  HostReport report(host);
  const PendingEventPump pump = [&host] { DrainPending(host); };
  uint32_t count = 0;
  for (int row : rows) {
    DeviceInfo device;
    if (!DeviceOfRow(host, row, &device)) {
      // The list no longer matches the device set: stop without a summary.
      host.CloseDialog();
      return 0;
    }
    if (BackUpOneDevice(host.Platform(), host.InventorySet(), device, target, report, pump)) ++count;
    DrainPending(host);
    if (host.CancelRequested()) break;
  }
  ShowSummaryAndWait(host, count);
  return static_cast<int>(count);
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
  ShowSummaryAndWait(host, count.value_or(0), count.has_value());
  return static_cast<int>(count.value_or(0));
}

}  // namespace pyr
