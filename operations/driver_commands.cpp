#include "operations/driver_commands.h"

#include <algorithm>

#include "operations/operation_texts.h"
#include "devices/device_columns.h"
#include "devices/device_status.h"
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
  DevicePlatform& platform = host.Platform();
  bool reboot = false;
  uint32_t error = 0;
  bool ok = platform.InstallDeviceDriver(host.ProgressWindowHandle(), host.InventorySet(), device,
                                         infPath.Buffer(), 0, &reboot, &error);
  // Only a driver that ranks no better than the installed one is worth forcing; any other
  // refusal (no driver of the INF fits, the device is gone) stands.
  if (!ok && error == kErrorNoMoreItems && host.AskUser(kForceDriverQuestion, kMessageYesNo) == kAnswerYes) {
    reboot = false;
    ok = platform.InstallDeviceDriver(host.ProgressWindowHandle(), host.InventorySet(), device,
                                      infPath.Buffer(), kInstallFlagForce, &reboot, &error);
  }
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
    const bool ok = host.Platform().InstallDeviceDriver(host.ProgressWindowHandle(), host.InventorySet(),
                                                        device, nullptr, kInstallFlagForce, &reboot, &error);
    if (ok && reboot) host.SetRebootNeeded();
    all = all && ok;
    DrainPendingEvents(host);
  }
  return all;
}

// Whether every removed device is in the device tree again: a rescan is only a request and the
// installs it starts run in their own time, so they are waited for (bounded) before each device
// is looked for by its instance ID.
bool RemovedDevicesCameBack(OperationHost& host, const std::vector<WideText>& instanceIds) {
  if (!ScanHardware(host, kCmReenumerateRetryInstallation, true)) return false;
  ScanHardware(host, kCmReenumerateRetryInstallation, true);
  if (!WaitForPendingInstalls(host)) return false;
  constexpr uint32_t kLocatePresentOnly = 0;  // CM_LOCATE_DEVNODE_NORMAL
  return std::all_of(instanceIds.begin(), instanceIds.end(), [&](const WideText& id) {
    DevInst found = 0;
    return host.Platform().LocateDevNode(&found, id.Buffer(), kLocatePresentOnly) == kCrSuccess;
  });
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
  std::vector<WideText> removed;  // instance IDs
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
    const bool ok = UninstallDevice(host, row);
    if (ok) removed.push_back(instanceId);
    host.AddResultLine(Concat({name, ok ? u" was successfully uninstalled." : u" could not be uninstalled."}));
  }
  if ((removed.empty() && inPlace.empty()) || host.CancelRequested()) {
    if (!removed.empty()) host.RebuildInventory();
  } else {
    const WideText reinstalling(u"Reinstalling the selected devices...");
    host.SetProgress(kProgressTextOnly, &reinstalling);
    DrainPendingEvents(host);
    // The in-place devices first: like every row, they point into the set the rebuild ends.
    bool ok = ReinstallInPlace(host, inPlace);
    if (!removed.empty()) {
      host.RebuildInventory();
      ok = RemovedDevicesCameBack(host, removed) && ok;
    }
    host.AddResultLine(ok ? kReinstalled : kNotReinstalled);
    // Show the devices that came back even where no device-change notice arrives.
    host.RebuildInventory();
  }
  FinishBatchDialog(host);
}

}  // namespace pyr
