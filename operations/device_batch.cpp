#include "operations/device_batch.h"

namespace pyr {

void DrainPendingEvents(OperationHost& host, PumpMode mode) {
  while (host.PumpEvent(mode)) {
  }
}

bool RestartRequested(OperationHost& host, const DeviceInfo& device) {
  DeviceInstallParams params;
  uint32_t error = 0;
  // Params that cannot be read may hide a request for a restart: one is asked for.
  if (host.Platform().GetDeviceInstallParams(host.InventorySet(), device, &params, &error) &&
      (params.flags & (kDiNeedReboot | kDiNeedRestart)) == 0) {
    return false;
  }
  host.SetRebootNeeded();
  return true;
}

bool DeviceOfRow(OperationHost& host, int row, DeviceInfo* device) {
  const DeviceSet set = host.InventorySet();
  if (!set.Valid() || row < 0 || row >= host.List().RowCount()) return false;
  uint32_t setIndex = 0;
  if (!StoredDeviceIndex(host.List(), row, &setIndex)) return false;
  return host.Platform().EnumDeviceInfo(set, setIndex, device);
}

int RunDeviceBatch(OperationHost& host, const std::vector<int>& rows, const DeviceBatch& batch) {
  const int n = static_cast<int>(rows.size());
  host.OpenResultsDialog(batch.preparingText);
  host.SetProgress(kProgressSpinner, nullptr);
  host.AddCancelButton();
  host.ShowDialog();

  int succeeded = 0;
  int k = 0;
  for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
    const int row = *it;
    ++k;  // skipped rows count too
    DeviceInfo device;
    if (batch.locateFirst && !DeviceOfRow(host, row, &device)) continue;
    const WideText name = host.List().CellText(row, 0);
    const WideText progress = Concat({batch.verb, name, u" (", WideText::FromInt32(k), u" of ",
                                      WideText::FromInt32(n), u")..."});
    host.SetProgress(kProgressTextOnly, &progress);
    DrainPendingEvents(host);
    if (batch.cancelCheckBeforeActing && host.CancelRequested()) break;
    const bool ok = batch.action(row, device);
    if (ok) ++succeeded;
    host.AddResultLine(batch.lineFor ? batch.lineFor(name, ok)
                                     : Concat({batch.linePrefix, name, ok ? batch.successSuffix : batch.failureSuffix}));
    DrainPendingEvents(host);
    if (host.CancelRequested()) break;
  }

  // The rows point into the device set until the list is rebuilt, so only now.
  if (succeeded > 0) host.RebuildInventory();
  WideText done(kOperationComplete);
  const WideText more = batch.summaryLine ? batch.summaryLine() : WideText();
  if (!more.Empty()) done.Append({u"\r\n", more});
  host.SetProgress(100, &done);
  host.MarkFinished();
  // The button, relabelled OK, sets the flag; after a cancel it is already set.
  while (!host.CancelRequested()) host.PumpEvent(kPumpRefreshing);
  host.CloseDialog();
  return succeeded;
}

}  // namespace pyr
