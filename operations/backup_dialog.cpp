#include "operations/backup_dialog.h"

#include "driverstore/package_folders.h"
#include "operations/device_batch.h"
#include "operations/operation_texts.h"

namespace pyr {

namespace {

// Straight to the dialog: the interface thread's own backup.
class HostReport : public BackupReport {
 public:
  explicit HostReport(OperationHost& host) : host_(host) {}
  void Progress(const WideText& text) override { host_.SetProgress(kProgressTextOnly, &text); }
  void Line(const WideText& text) override { host_.AddResultLine(text); }

 private:
  OperationHost& host_;
};

}  // namespace

void OpenBackupDialog(OperationHost& host) {
  host.OpenResultsDialog(kBackupPreparing);
  host.SetProgress(kProgressSpinner, nullptr);
  host.AddCancelButton();
  host.ShowDialog();
}

void ShowBackupSummaryAndWait(OperationHost& host, uint32_t count, bool started) {
  const WideText summary =
      started ? BackupSummary(host.CancelRequested() != kNotCancelled, count) : WideText(kOperationNotStarted);
  host.SetProgress(100, &summary);
  host.MarkFinished();
  while (!host.CancelRequested()) host.PumpEvent(kPumpRefreshing);
  host.CloseDialog();
}

int RunPickedBackup(OperationHost& host, size_t items, const BackupItem& backUp) {
  host.SetCancelRequested(kNotCancelled);
  if (items == 0) return 0;
  WideText picked;
  if (!host.BrowseForFolder(&picked, kBackupFolderTitle, kBifValidate)) return -1;
  PackageFolders folders;
  BackupTarget target = MakeBackupTarget(picked, false);
  target.folders = &folders;
  OpenBackupDialog(host);
  HostReport report(host);
  const PendingEventPump pump = [&host] { DrainPendingEvents(host); };
  uint32_t count = 0;
  for (size_t i = 0; i < items; ++i) {
    const BackupStep step = backUp(i, target, report, pump);
    if (step == BackupStep::kAbandon) {
      host.CloseDialog();
      return 0;
    }
    if (step == BackupStep::kBackedUp) ++count;
    DrainPendingEvents(host);
    if (host.CancelRequested()) break;
  }
  ShowBackupSummaryAndWait(host, count);
  return static_cast<int>(count);
}

}  // namespace pyr
