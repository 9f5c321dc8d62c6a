#include "operations/uninstall_commands.h"

#include "operations/operation_texts.h"
#include "devices/device_columns.h"
#include "devices/device_inventory.h"
#include "operations/device_batch.h"
#include "devices/property_keys.h"
#include "devices/property_reader.h"
#include "base/message_kinds.h"

namespace pyr {

namespace {

constexpr char16_t kNotPresentQuestion[] = u"Are you sure you want to uninstall all devices not present?";
constexpr char16_t kNotPresentPreparing[] = u"Uninstalling all devices not present...";

WideText ForOneOrMany(const char16_t* stem, size_t rows) {
  return Concat({stem, rows == 1 ? u"?" : u"s?"});
}

// The folder that holds the store's copy of the INF.
WideText FolderOf(const WideText& path) {
  const std::u16string_view view = path.View();
  const size_t slash = view.find_last_of(u'\\');
  return slash == std::u16string_view::npos ? WideText() : WideText(view.substr(0, slash));
}

}  // namespace

bool UninstallDevice(OperationHost& host, int row) {
  DeviceInfo device;
  if (!DeviceOfRow(host, row, &device)) return false;
  bool reboot = false;
  if (!host.Platform().UninstallDevice(host.MainWindowHandle(), host.InventorySet(), device, 0, &reboot)) {
    return false;
  }
  if (reboot) host.SetRebootNeeded();
  return true;
}

bool RemoveDriverPackage(OperationHost& host, int row, PathDeleter deletePath) {
  DevicePlatform& platform = host.Platform();
  const WideText inf = host.List().CellText(row, kColumnInfPath);
  if (inf.Empty()) return false;
  WideText storePath;
  if (!platform.GetInfDriverStoreLocation(inf.Buffer(), &storePath)) return false;

  bool reboot = false;
  if (platform.HasUninstallDriver()) {
    uint32_t error = 0;
    bool ok = platform.UninstallDriver(host.MainWindowHandle(), storePath.Buffer(), 0, &reboot, &error);
    // A package the system does not hold as an OEM package is already out of the store.
    if (!ok && error == kErrorNotAnInstalledOemInf) ok = true;
    if (reboot) host.SetRebootNeeded();
    return ok;
  }

  // Without the system's package removal: never delete anything outside the driver store.
  if (deletePath == nullptr || storePath.Find(u"\\DriverStore\\", false) == 0) return false;
  if (!UninstallDevice(host, row)) return false;
  const int deleted = deletePath(FolderOf(storePath), kDeleteAtRestart);
  if (deleted == 2) host.SetRebootNeeded();
  return deleted != 0;
}

void UninstallDevices(OperationHost& host, RowSource source) {
  host.SetCancelRequested(kNotCancelled);
  const std::vector<int> rows = RowsOf(host.List(), source);
  if (rows.empty()) {
    host.AskUser(kCheckItemsFirst, kMessageOk);
    return;
  }
  if (host.AskUser(ForOneOrMany(u"Are you sure you want to uninstall the selected device", rows.size()),
                   kMessageYesNo) != kAnswerYes) {
    return;
  }
  DeviceBatch batch;
  batch.preparingText = u"Preparing to uninstall";
  batch.verb = u"Uninstalling ";
  batch.successSuffix = u" was successfully uninstalled.";
  batch.failureSuffix = u" could not be uninstalled.";
  batch.locateFirst = false;
  batch.cancelCheckBeforeActing = true;
  batch.action = [&host](int row, const DeviceInfo&) { return UninstallDevice(host, row); };
  ControlLockScope lock(host);
  RunDeviceBatch(host, rows, batch);
}

void UninstallAndDeleteDrivers(OperationHost& host, RowSource source, PathDeleter deletePath) {
  host.SetCancelRequested(kNotCancelled);
  const std::vector<int> rows = RowsOf(host.List(), source);
  if (rows.empty()) {
    host.AskUser(kCheckItemsFirst, kMessageOk);
    return;
  }
  const char16_t* what = rows.size() == 1 ? u"device" : u"devices";
  const WideText question =
      Concat({u"This will uninstall the selected ", what,
              u" drivers and also remove them from the driver store.You may need to install a new "
              u"driver for the selected ",
              what, u" after this operation.\r\n\r\nAre you sure you want to proceed?"});
  if (host.AskUser(question, kMessageYesNo) != kAnswerYes) return;
  DeviceBatch batch;
  batch.preparingText = u"Preparing to remove drivers";
  batch.verb = u"Removing driver for ";
  batch.linePrefix = u"The driver for ";
  batch.successSuffix = u" was successfully uninstalled.";
  batch.failureSuffix = u" could not be uninstalled.";
  batch.locateFirst = false;
  batch.cancelCheckBeforeActing = true;
  batch.action = [&host, deletePath](int row, const DeviceInfo&) {
    return RemoveDriverPackage(host, row, deletePath);
  };
  ControlLockScope lock(host);
  RunDeviceBatch(host, rows, batch);
}

int UninstallAllNotPresent(OperationHost& host) {
  host.SetCancelRequested(kNotCancelled);
  ControlLockScope lock(host);
  if (host.AskUser(kNotPresentQuestion, kMessageYesNo) != kAnswerYes) return -1;
  host.OpenResultsDialog(kNotPresentPreparing);
  host.SetProgress(kProgressSpinner, nullptr);
  host.AddCancelButton();
  host.ShowDialog();

  DevicePlatform& platform = host.Platform();
  // A set of its own, with absent devices too: a device-change notice may rebuild the list
  // (and its set) while this loop runs.
  const DeviceSet set = platform.GetClassDevs(nullptr, nullptr, host.MainWindowHandle(), kDigcfAllClasses);
  PropertyReader reader(platform);
  int removed = 0;
  DeviceInfo device;
  for (uint32_t i = 0; set.Valid() && platform.EnumDeviceInfo(set, i, &device); ++i) {
    uint8_t present = 1;
    reader.ReadFixed(set, device, devpkey::kIsPresent, &present, 1);
    if (present != 0) continue;
    WideText name = reader.ReadFirst(set, device, devpkey::kName);
    if (name.Empty()) name = WideText(kUnknownDeviceName);
    const WideText progress = Concat({u"Uninstalling ", name, u"..."});
    host.SetProgress(kProgressTextOnly, &progress);
    DrainPendingEvents(host, kPumpPendingRefreshing);
    bool reboot = false;
    if (platform.UninstallDevice(host.MainWindowHandle(), set, device, 0, &reboot)) {
      host.AddResultLine(Concat({name, u" was successfully uninstalled."}));
      ++removed;
      if (reboot) host.SetRebootNeeded();
    } else {
      host.AddResultLine(Concat({name, u" could not be Uninstalled."}));
    }
    DrainPendingEvents(host, kPumpPendingRefreshing);
    if (host.CancelRequested()) break;
  }
  if (set.Valid()) platform.DestroyDeviceInfoList(set);
  if (removed > 0) host.RebuildInventory();

  const WideText summary = Concat({host.CancelRequested() ? u"Operation cancelled. " : u"Operation complete. ",
                                 WideText::FromInt32(removed), removed == 1 ? u" device" : u" devices",
                                 u" uninstalled."});
  host.SetProgress(100, &summary);
  host.MarkFinished();
  while (!host.CancelRequested()) host.PumpEvent(kPumpRefreshing);
  host.CloseDialog();
  return removed;
}

}  // namespace pyr
