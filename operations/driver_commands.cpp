#include "operations/driver_commands.h"

#include "operations/operation_texts.h"
#include "devices/device_columns.h"
#include "operations/device_batch.h"
#include "operations/hardware_scan.h"
#include "operations/uninstall_commands.h"
#include "base/message_kinds.h"

namespace pyr {

namespace {

// The rows of a command, or an empty list after telling the user to tick some.
std::vector<int> RowsOrAsk(OperationHost& host, RowSource source) {
  std::vector<int> rows = RowsOf(host.List(), source);
  if (rows.empty()) host.AskUser(kCheckItemsFirst, kMessageOk);
  return rows;
}

void OpenBatchDialog(OperationHost& host, const char16_t* preparing) {
  host.OpenResultsDialog(preparing);
  host.SetProgress(kProgressSpinner, nullptr);
  host.AddCancelButton();
  host.ShowDialog();
}

// The final text, then the dialog waits for OK (at once after a cancel) and closes.
void FinishBatchDialog(OperationHost& host) {
  const WideText done(kOperationComplete);
  host.SetProgress(100, &done);
  host.MarkFinished();
  while (!host.CancelRequested()) host.PumpEvent(kPumpRefreshing);
  host.CloseDialog();
}

WideText KOfN(const char16_t* verb, const WideText& name, int k, int n) {
  return Concat({verb, name, u" (", WideText::FromInt32(k), u" of ", WideText::FromInt32(n), u")..."});
}

// One device of "Change checked device drivers": true when a driver was put on it.
bool ChangeDriverOf(OperationHost& host, int row, const WideText& infPath) {
  DevicePlatform& platform = host.Platform();
  const WideText hardwareId = host.List().CellText(row, kColumnHardwareId);
  bool reboot = false;
  bool ok = platform.UpdateDriverForPlugAndPlayDevices(host.MainWindowHandle(), hardwareId.Buffer(),
                                                       infPath.Buffer(), 0, &reboot);
  // The system gives no reason the caller could tell apart; the user decides whether to force.
  if (!ok && host.AskUser(kForceDriverQuestion, kMessageYesNo) == kAnswerYes) {
    reboot = false;
    ok = platform.UpdateDriverForPlugAndPlayDevices(host.MainWindowHandle(), hardwareId.Buffer(),
                                                    infPath.Buffer(), kInstallFlagForce, &reboot);
  }
  if (ok && reboot) host.SetRebootNeeded();
  return ok;
}

}  // namespace

int UpdateDrivers(OperationHost& host, RowSource source) {
  host.SetCancelRequested(kNotCancelled);
  const std::vector<int> rows = RowsOrAsk(host, source);
  if (rows.empty()) return 0;
  int updated = 0;
  {
    ControlLockScope lock(host);
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
      DeviceInfo device;
      if (!DeviceOfRow(host, *it, &device)) continue;
      bool reboot = false;
      // Modal: returns when the user closes the system's wizard.
      if (host.Platform().ShowUpdateDevice(host.MainWindowHandle(), host.InventorySet(), device, 0, &reboot)) {
        ++updated;
      }
      if (reboot) host.SetRebootNeeded();
      DrainPendingEvents(host);
      if (host.CancelRequested()) break;
    }
    host.BringMainWindowToTop();
    if (updated > 0) host.RebuildInventory();
  }
  DrainPendingEvents(host, kPumpPendingRefreshing);
  return updated;
}

void ChangeDrivers(OperationHost& host) {
  host.SetCancelRequested(kNotCancelled);
  const std::vector<int> rows = RowsOrAsk(host, RowSource::kChecked);
  if (rows.empty()) return;
  ControlLockScope lock(host);
  OpenBatchDialog(host, u"Preparing...");
  const int n = static_cast<int>(rows.size());
  int changed = 0;
  int k = 0;
  for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
    const int row = *it;
    ++k;
    DeviceInfo device;
    if (!DeviceOfRow(host, row, &device)) continue;
    const WideText name = host.List().CellText(row, kColumnName);
    const WideText progress = KOfN(u"Changing driver for ", name, k, n);
    host.SetProgress(kProgressTextOnly, &progress);
    DrainPendingEvents(host);
    if (host.CancelRequested()) break;
    WideText infPath;
    if (host.OpenInfFileDialog(&infPath, Concat({u"Select driver INF file for ", name}))) {
      const bool ok = ChangeDriverOf(host, row, infPath);
      if (ok) ++changed;
      host.AddResultLine(Concat({u"The driver for ", name, ok ? u" was successfully changed." : u" could not be changed."}));
    }
    DrainPendingEvents(host);
    if (host.CancelRequested()) break;
  }
  if (changed > 0) host.RebuildInventory();
  FinishBatchDialog(host);
}

void ReinstallDevices(OperationHost& host, RowSource source) {
  host.SetCancelRequested(kNotCancelled);
  const std::vector<int> rows = RowsOrAsk(host, source);
  if (rows.empty()) return;
  const WideText question = Concat({u"Are you sure you want to reinstall the selected device",
                                    rows.size() == 1 ? u"?" : u"s?"});
  if (host.AskUser(question, kMessageYesNo) != kAnswerYes) return;
  host.SetCancelRequested(kNotCancelled);
  ControlLockScope lock(host);
  OpenBatchDialog(host, u"Preparing to uninstall");
  const int n = static_cast<int>(rows.size());
  int uninstalled = 0;
  int k = 0;
  for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
    const int row = *it;
    ++k;
    const WideText name = host.List().CellText(row, kColumnName);
    const WideText progress = KOfN(u"Uninstalling ", name, k, n);
    host.SetProgress(kProgressTextOnly, &progress);
    DrainPendingEvents(host);
    if (host.CancelRequested()) break;
    const bool ok = UninstallDevice(host, row);
    if (ok) ++uninstalled;
    host.AddResultLine(Concat({name, ok ? u" was successfully uninstalled." : u" could not be uninstalled."}));
  }
  if (uninstalled > 0) {
    // The rows point into the old set; rebuild before the devices come back.
    host.RebuildInventory();
    if (!host.CancelRequested()) {
      const WideText reinstalling(u"Reinstalling the selected devices...");
      host.SetProgress(kProgressTextOnly, &reinstalling);
      DrainPendingEvents(host);
      if (ScanHardware(host, kCmReenumerateRetryInstallation, true)) {
        ScanHardware(host, kCmReenumerateRetryInstallation, true);
        host.AddResultLine(kReinstalled);
        // Show the devices that came back even where no device-change notice arrives.
        host.RebuildInventory();
      } else {
        host.AddResultLine(kNotReinstalled);
      }
    }
  }
  FinishBatchDialog(host);
}

}  // namespace pyr
