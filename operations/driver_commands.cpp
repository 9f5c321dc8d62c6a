#include "operations/driver_commands.h"

#include <algorithm>

#include "operations/operation_texts.h"
#include "devices/device_columns.h"
#include "devices/device_status.h"
#include "devices/device_driver_install.h"
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

// One device of "Change checked device drivers": the chosen INF on this device alone, never on
// the other devices that share its hardware ID. True when the driver went on.
bool ChangeDriverOf(OperationHost& host, const DeviceInfo& device, const WideText& infPath) {
  DriverInstallRequest request{host.ProgressWindowHandle(), infPath.Buffer(), false};
  bool reboot = false;
  uint32_t error = 0;
  DriverInstallOutcome outcome = InstallDeviceDriver(host.Platform(), host.InventorySet(), device, request, &reboot, &error);
  // Only a driver that ranks no better than the installed one is worth forcing; any other
  // refusal (no driver of the INF fits, the device is gone) stands.
  if (outcome == DriverInstallOutcome::kNotBetter && host.AskUser(kForceDriverQuestion, kMessageYesNo) == kAnswerYes) {
    request.force = true;
    outcome = InstallDeviceDriver(host.Platform(), host.InventorySet(), device, request, &reboot, &error);
  }
  const bool ok = outcome == DriverInstallOutcome::kInstalled;
  if (ok && reboot) host.SetRebootNeeded();
  return ok;
}

// Root-enumerated and software devices are reinstalled where they are, since nothing would bring
// them back once removed: the best driver the system has goes on again. True when it did for all.
bool ReinstallInPlace(OperationHost& host, const std::vector<DeviceInfo>& devices) {
  bool all = true;
  for (const DeviceInfo& device : devices) {
    bool reboot = false;
    uint32_t error = 0;
    const DriverInstallRequest request{host.ProgressWindowHandle(), nullptr, true};
    const bool ok = InstallDeviceDriver(host.Platform(), host.InventorySet(), device, request, &reboot, &error) ==
                    DriverInstallOutcome::kInstalled;
    if (ok && reboot) host.SetRebootNeeded();
    all = all && ok;
    DrainPendingEvents(host);
  }
  return all;
}

// A device removed to be reinstalled: found again by its instance ID once the hardware is scanned.
struct RemovedDevice {
  WideText name, instanceId;
  bool rebootPending = false;  // its removal finishes only at the next boot
};

// Whether every removed device is in the device tree again, with a line for each that is not. A rescan
// is only a request and the installs it starts run in their own time, so they are waited for
// (bounded). That wait ends only when nothing at all is being installed on the PC, so when it
// times out each device is looked for anyway: a slow install elsewhere says nothing of these.
enum class Reinstalled { kAll, kSomeLater, kSomeFailed };

Reinstalled RemovedDevicesCameBack(OperationHost& host, const std::vector<RemovedDevice>& removed) {
  const bool scanned = ScanHardware(host, kCmReenumerateRetryInstallation, true);
  if (scanned) ScanHardware(host, kCmReenumerateRetryInstallation, true);
  const bool settled = scanned && WaitForPendingInstalls(host);
  constexpr uint32_t kLocatePresentOnly = 0;  // CM_LOCATE_DEVNODE_NORMAL
  Reinstalled all = Reinstalled::kAll;
  for (const RemovedDevice& d : removed) {
    DevInst found = 0;
    const bool back = host.Platform().LocateDevNode(&found, d.instanceId.Buffer(), kLocatePresentOnly) == kCrSuccess;
    if (back && !d.rebootPending) continue;
    if (d.rebootPending) {
      host.AddResultLine(Concat({d.name, u" will be reinstalled after a restart."}));
    } else if (scanned && !settled) {
      host.AddResultLine(Concat({d.name, u" is still being installed."}));
    } else {
      host.AddResultLine(Concat({d.name, u" was not reinstalled."}));
      all = Reinstalled::kSomeFailed;
      continue;
    }
    if (all == Reinstalled::kAll) all = Reinstalled::kSomeLater;
  }
  return all;
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
      uint32_t error = 0;
      // Modal: returns when the user closes the system's wizard.
      if (host.Platform().ShowUpdateDevice(host.MainWindowHandle(), host.InventorySet(), device, 0, &reboot,
                                           &error)) {
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
    // A device that is not connected takes no driver: its line comes without a file to pick.
    const bool present = !IsNotPresentStatus(host.List().CellText(row, kColumnStatus).View());
    WideText infPath;
    if (!present || host.OpenInfFileDialog(&infPath, Concat({u"Select driver INF file for ", name}))) {
      const bool ok = present && ChangeDriverOf(host, device, infPath);
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
  std::vector<DeviceInfo> inPlace;
  std::vector<RemovedDevice> removed;
  int k = 0;
  for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
    const int row = *it;
    ++k;
    const WideText name = host.List().CellText(row, kColumnName);
    const WideText instanceId = host.List().CellText(row, kColumnInstanceId);
    if (IsRootEnumerated(instanceId.View())) {
      DeviceInfo device;
      if (DeviceOfRow(host, row, &device)) inPlace.push_back(device);
      continue;
    }
    const WideText progress = KOfN(u"Uninstalling ", name, k, n);
    host.SetProgress(kProgressTextOnly, &progress);
    DrainPendingEvents(host);
    if (host.CancelRequested()) break;
    bool reboot = false;
    const bool ok = UninstallDevice(host, row, &reboot);
    if (ok) removed.push_back({name, instanceId, reboot});
    host.AddResultLine(Concat({name, ok ? u" was successfully uninstalled." : u" could not be uninstalled."}));
  }
  if ((removed.empty() && inPlace.empty()) || host.CancelRequested()) {
    if (!removed.empty()) host.RebuildInventory();
  } else {
    const WideText reinstalling(u"Reinstalling the selected devices...");
    host.SetProgress(kProgressTextOnly, &reinstalling);
    DrainPendingEvents(host);
    // The in-place devices first: like every row, they point into the set the rebuild ends.
    const bool inPlaceOk = ReinstallInPlace(host, inPlace);
    Reinstalled back = Reinstalled::kAll;
    if (!removed.empty()) {
      host.RebuildInventory();
      back = RemovedDevicesCameBack(host, removed);
    }
    // Devices still on their way or waiting for the restart have their lines, and no failure.
    if (!inPlaceOk || back == Reinstalled::kSomeFailed) {
      host.AddResultLine(kNotReinstalled);
    } else if (back == Reinstalled::kAll) {
      host.AddResultLine(kReinstalled);
    }
    // Show the devices that came back even where no device-change notice arrives.
    host.RebuildInventory();
  }
  FinishBatchDialog(host);
}

}  // namespace pyr
