#include "operations/state_commands.h"

#include "operations/operation_texts.h"
#include "devices/device_status.h"
#include "operations/device_batch.h"
#include "base/message_kinds.h"

namespace pyr {

namespace {

constexpr int kStatusColumn = 1;

struct StateChange {
  const char16_t* question;
  const char16_t* verb;
  const char16_t* successSuffix;
  const char16_t* failureSuffix;
  bool enable;
};

constexpr StateChange kDisable = {u"Are you sure you want to disable the selected device(s)?",
                                  u"Disabling ", u" was successfully disabled.",
                                  u" could not be disabled.", false};
constexpr StateChange kEnable = {u"Are you sure you want to enable the selected device(s)?",
                                 u"Enabling ", u" was successfully enabled.",
                                 u" could not be enabled.", true};

// A property change through the class installer, as the system's device manager makes it: the
// class's own installer and co-installers take part.
bool ChangeState(OperationHost& host, const DeviceInfo& device, uint32_t stateChange, uint32_t scope) {
  DevicePlatform& platform = host.Platform();
  uint32_t error = 0;
  return platform.SetPropertyChangeParams(host.InventorySet(), device, stateChange, scope,
                                          kCurrentHardwareProfile, &error) &&
         platform.CallClassInstaller(kDifPropertyChange, host.InventorySet(), device, &error);
}

// A disable for every hardware profile holds for every later boot. An enable clears that and the
// disable of the current profile alone, either of which keeps a device off. A device that cannot
// stop now (its removal is vetoed) is disabled at the next boot: a success that asks for a
// restart.
bool SetDeviceEnabled(OperationHost& host, const DeviceInfo& device, bool enable) {
  const bool ok = enable ? ChangeState(host, device, kDicsEnable, kDicsFlagGlobal) &&
                               ChangeState(host, device, kDicsEnable, kDicsFlagConfigSpecific)
                         : ChangeState(host, device, kDicsDisable, kDicsFlagGlobal);
  if (!ok) return false;
  RestartRequested(host, device);
  return true;
}

void ChangeCheckedDevices(OperationHost& host, const StateChange& change) {
  // These two ask before they look at the rows.
  if (host.AskUser(change.question, kMessageYesNo) != kAnswerYes) return;
  host.SetCancelRequested(kNotCancelled);
  const std::vector<int> rows = RowsOf(host.List(), RowSource::kChecked);
  if (rows.empty()) {
    host.AskUser(kCheckItemsFirst, kMessageOk);
    return;
  }
  DeviceBatch batch;
  batch.verb = change.verb;
  batch.successSuffix = change.successSuffix;
  batch.failureSuffix = change.failureSuffix;
  batch.action = [&host, enable = change.enable](int, const DeviceInfo& device) {
    return SetDeviceEnabled(host, device, enable);
  };
  ControlLockScope lock(host);
  RunDeviceBatch(host, rows, batch);
}

}  // namespace

std::vector<int> RowsOf(const DeviceList& list, RowSource source) {
  if (source == RowSource::kChecked) return list.CheckedRows();
  const int selected = list.SelectedRow();
  return selected < 0 ? std::vector<int>{} : std::vector<int>{selected};
}

bool RowIsDisabled(const DeviceList& list, int row) {
  return row < 0 || IsDisabledStatus(list.CellText(row, kStatusColumn).View());
}

void DisableCheckedDevices(OperationHost& host) { ChangeCheckedDevices(host, kDisable); }

void EnableCheckedDevices(OperationHost& host) { ChangeCheckedDevices(host, kEnable); }

void RestartDevices(OperationHost& host, RowSource source) {
  host.SetCancelRequested(kNotCancelled);
  const std::vector<int> rows = RowsOf(host.List(), source);
  if (rows.empty()) {
    host.AskUser(kCheckItemsFirst, kMessageOk);
    return;
  }
  const WideText question = Concat({u"Are you sure you want to restart the selected device",
                                    rows.size() == 1 ? u"?" : u"s?"});
  if (host.AskUser(question, kMessageYesNo) != kAnswerYes) return;
  DeviceBatch batch;
  batch.verb = u"Restarting ";
  batch.successSuffix = u" was successfully restarted.";
  batch.failureSuffix = u" could not be restarted.";
  batch.cancelCheckBeforeActing = true;
  // Stopped and started through the class installer (the scope is ignored for this change). A
  // device that can start again only at the next boot was not restarted now.
  batch.action = [&host](int, const DeviceInfo& device) {
    return ChangeState(host, device, kDicsPropChange, kDicsFlagConfigSpecific) && !RestartRequested(host, device);
  };
  ControlLockScope lock(host);
  RunDeviceBatch(host, rows, batch);
}

void ToggleSelectedDeviceState(OperationHost& host) {
  const int row = host.List().SelectedRow();
  if (row < 0) {
    host.AskUser(kSelectItemFirst, kMessageOk);
    return;
  }
  DeviceInfo device;
  const bool ok = DeviceOfRow(host, row, &device) &&
                  SetDeviceEnabled(host, device, RowIsDisabled(host.List(), row));
  if (!ok) {
    host.AskUser(kStateNotSet, kMessageOk);
    return;
  }
  host.RebuildInventory();
}

}  // namespace pyr
