#include "operations/uninstall_commands.h"

#include <algorithm>

#include "operations/operation_texts.h"
#include "devices/com_port_name.h"
#include "devices/device_columns.h"
#include "devices/device_dates.h"
#include "devices/device_inventory.h"
#include "operations/device_batch.h"
#include "devices/property_keys.h"
#include "devices/property_reader.h"
#include "base/file_system.h"
#include "base/message_kinds.h"
#include "operations/install_drivers_from_folder.h"
#include "operations/package_removal_plan.h"

namespace pyr {

namespace {

constexpr char16_t kNotPresentQuestion[] = u"Are you sure you want to uninstall all devices not present?";
constexpr char16_t kNotPresentPreparing[] = u"Uninstalling all devices not present...";

WideText ForOneOrMany(const char16_t* stem, size_t rows) {
  return Concat({stem, rows == 1 ? u"?" : u"s?"});
}

// Whether the system no longer knows the device, present or not.
bool GoneFromTheSystem(DevicePlatform& platform, const WideText& instanceId) {
  DevInst node = 0;
  return !instanceId.Empty() &&
         platform.LocateDevNode(&node, instanceId.Buffer(), kCmLocateDevNodePhantom) == kCrNoSuchDevNode;
}

// A device not present, as "Uninstall all devices not present" found it before removing any.
struct AbsentDevice {
  uint32_t index;
  WideText name;
  WideText instanceId;
  std::optional<uint64_t> lastConnected;
};

bool InClassList(const std::vector<WideText>& classes, const WideText& name) {
  return std::any_of(classes.begin(), classes.end(),
                     [&](const WideText& c) { return WideText::EqualsNoCase(c.View(), name.View()); });
}

WideText LastConnectedText(const std::optional<uint64_t>& date) {
  return date ? DeviceDateText(*date) : WideText(u"not recorded");
}

// The question with what it would take: how many, their oldest and newest last connection, and
// the COM numbers they hold (the Ports class installer frees each when its port goes).
WideText NotPresentQuestion(const std::vector<AbsentDevice>& absent) {
  std::optional<uint64_t> oldest, newest;
  std::vector<uint32_t> ports;
  for (const AbsentDevice& a : absent) {
    if (a.lastConnected) {
      oldest = std::min(oldest.value_or(*a.lastConnected), *a.lastConnected);
      newest = std::max(newest.value_or(*a.lastConnected), *a.lastConnected);
    }
    if (uint32_t port = ComPortNumberOfName(a.name.View())) ports.push_back(port);
  }
  WideText text = Concat({kNotPresentQuestion, u"\n\n", WideText::FromUInt64(absent.size()),
                          absent.size() == 1 ? u" device" : u" devices"});
  if (oldest) {
    text = Concat({text, u", last connected between ", DeviceDateText(*oldest), u" and ",
                   DeviceDateText(*newest)});
  }
  text = Concat({text, u"."});
  if (!ports.empty()) {
    text = Concat({text, u"\nThey hold ", ComPortListText(ports), u": uninstalling them frees these numbers."});
  }
  return text;
}

}  // namespace

bool UninstallDevice(OperationHost& host, int row, bool* needsReboot) {
  DeviceInfo device;
  if (!DeviceOfRow(host, row, &device)) return false;
  bool reboot = false;
  if (needsReboot) *needsReboot = false;
  uint32_t error = 0;
  if (!host.Platform().UninstallDevice(host.MainWindowHandle(), host.InventorySet(), device, 0, &reboot, &error)) {
    return GoneFromTheSystem(host.Platform(), host.List().CellText(row, kColumnInstanceId));
  }
  if (reboot) host.SetRebootNeeded();
  if (needsReboot) *needsReboot = reboot;
  return true;
}

int RestoreRemovedDrivers(OperationHost& host) {
  const WideText folder = RemovedDriversFolder(host.ProgramDataFolder());
  const WideText newest = NewestBatchFolder(folder);
  if (newest.Empty()) {
    host.AskUser(kNothingRemovedYet, kMessageOk);
    return -1;
  }
  // One batch at a time, the newest first: the picker opens in it.
  return PutBackDriverPackages(host, newest);
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

void UninstallAndDeleteDrivers(OperationHost& host, RowSource source) {
  host.SetCancelRequested(kNotCancelled);
  const std::vector<int> rows = RowsOf(host.List(), source);
  if (rows.empty()) {
    host.AskUser(kCheckItemsFirst, kMessageOk);
    return;
  }
  // Planned before anything changes: which package may go, and after which device.
  PackageRemovalPlan plan(host.List(), rows);
  if (!plan.Read(host.Platform())) {
    host.AskUser(kPackageUsersUnknown, kMessageOk);
    return;
  }
  if (host.AskUser(plan.Question(rows.size()), kMessageYesNo) != kAnswerYes) return;
  DeviceBatch batch;
  batch.preparingText = u"Preparing to remove drivers";
  batch.verb = u"Removing driver for ";
  batch.locateFirst = false;
  batch.cancelCheckBeforeActing = true;
  RemovalCopies copies(host.ProgramDataFolder(), LocalTimeNow());
  PackageRemovalPlan::Outcome outcome = PackageRemovalPlan::Outcome::kNotUninstalled;
  batch.action = [&](int row, const DeviceInfo&) {
    outcome = plan.Remove(host, row, copies);
    return outcome != PackageRemovalPlan::Outcome::kNotUninstalled;
  };
  batch.lineFor = [&](const WideText& name, bool) { return plan.Line(name, outcome); };
  batch.summaryLine = [&] {
    plan.DiscardUnused(copies);
    const WideText kept = copies.Finish();
    // A folder of the program's own that another user made and that could not be moved aside.
    if (!copies.Refusal().Empty()) return copies.Refusal();
    return kept.Empty() ? kept : CopiesKeptLine(kept);
  };
  ControlLockScope lock(host);
  RunDeviceBatch(host, rows, batch);
}

int UninstallAllNotPresent(OperationHost& host, const NotPresentScope& scope) {
  host.SetCancelRequested(kNotCancelled);
  ControlLockScope lock(host);
  DevicePlatform& platform = host.Platform();
  // A set of its own, with absent devices too: a device-change notice may rebuild the list
  // (and its set) while this loop runs.
  const DeviceSet set = platform.GetClassDevs(nullptr, nullptr, host.MainWindowHandle(), kDigcfAllClasses);
  // Found before the question, which tells what they are, and before any is removed: a device
  // goes with its parent, and then has no name to read.
  PropertyReader reader(platform);
  std::vector<AbsentDevice> absent;
  DeviceInfo device;
  const bool byClass = !scope.className.Empty() || !scope.exceptClasses.empty();
  for (uint32_t i = 0; set.Valid() && platform.EnumDeviceInfo(set, i, &device); ++i) {
    uint8_t present = 1;
    reader.ReadFixed(set, device, devpkey::kIsPresent, &present, 1);
    if (present != 0) continue;
    if (byClass) {
      const WideText cls = reader.ReadFirst(set, device, devpkey::kClass);
      if (!scope.className.Empty() && !WideText::EqualsNoCase(cls.View(), scope.className.View())) continue;
      if (InClassList(scope.exceptClasses, cls)) continue;
    }
    const std::optional<uint64_t> date = ReadDeviceDate(reader, set, device, devpkey::kLastRemovalDate);
    if (scope.olderThanDays && !AbsentLongerThan(date, scope.now, *scope.olderThanDays)) continue;
    WideText name = reader.ReadFirst(set, device, devpkey::kName);
    if (name.Empty()) name = WideText(kUnknownDeviceName);
    absent.push_back({i, std::move(name), reader.ReadFirst(set, device, devpkey::kInstanceId), date});
  }
  if (host.AskUser(NotPresentQuestion(absent), kMessageYesNo) != kAnswerYes) {
    if (set.Valid()) platform.DestroyDeviceInfoList(set);
    return -1;
  }
  host.OpenResultsDialog(kNotPresentPreparing);
  host.SetProgress(kProgressSpinner, nullptr);
  host.AddCancelButton();
  host.ShowDialog();

  int removed = 0;
  for (const AbsentDevice& a : absent) {
    if (!platform.EnumDeviceInfo(set, a.index, &device)) break;
    if (scope.listOnly) {
      host.AddResultLine(
          Concat({a.name, u" would be uninstalled (last connected ", LastConnectedText(a.lastConnected), u")."}));
      ++removed;
      continue;
    }
    const WideText progress = Concat({u"Uninstalling ", a.name, u"..."});
    host.SetProgress(kProgressTextOnly, &progress);
    DrainPendingEvents(host, kPumpPendingRefreshing);
    bool reboot = false;
    uint32_t error = 0;
    if (platform.UninstallDevice(host.MainWindowHandle(), set, device, 0, &reboot, &error) ||
        GoneFromTheSystem(platform, a.instanceId)) {
      host.AddResultLine(Concat({a.name, u" was successfully uninstalled."}));
      ++removed;
      if (reboot) host.SetRebootNeeded();
    } else {
      host.AddResultLine(Concat({a.name, u" could not be Uninstalled."}));
    }
    DrainPendingEvents(host, kPumpPendingRefreshing);
    if (host.CancelRequested()) break;
  }
  if (set.Valid()) platform.DestroyDeviceInfoList(set);
  if (removed > 0 && !scope.listOnly) host.RebuildInventory();

  const WideText summary = Concat({host.CancelRequested() ? u"Operation cancelled. " : u"Operation complete. ",
                                 WideText::FromInt32(removed), removed == 1 ? u" device" : u" devices",
                                 scope.listOnly ? u" would be uninstalled." : u" uninstalled."});
  host.SetProgress(100, &summary);
  host.MarkFinished();
  while (!host.CancelRequested()) host.PumpEvent(kPumpRefreshing);
  host.CloseDialog();
  return removed;
}

}  // namespace pyr
