// The main window's commands that work on the list as it is: ticking by rule, find, web search,
// copies, the export, the property sheet, and the device-state operations.
#include <windows.h>

#include "app/main_window_texts.h"
#include "app/selection_commands.h"
#include "app/win32/file_pickers.h"
#include "app/win32/main_operation_host.h"
#include "app/win32/main_window.h"
#include "base/date_time_text.h"
#include "base/file_system.h"
#include "base/win32/process.h"
#include "base/win32/wchar.h"
#include "operations/device_batch.h"
#include "operations/state_commands.h"
#include "devices/property_keys.h"
#include "devices/list_export.h"
#include "devices/property_reader.h"
#include "operations/driver_backup.h"
#include "operations/install_drivers_from_folder.h"
#include "operations/uninstall_commands.h"
#include "operations/updater_command.h"
#include "ui/dialogs/message_rules.h"

namespace pyr {

namespace {

constexpr char16_t kFindReachedEnd[] = u"Find reached the end of the list.";

}  // namespace

bool MainWindow::RunListCommand(Command command, CommandSource source) {
  MainOperationHost host(*this);
  const RowSource rows = source == CommandSource::kContextMenu ? RowSource::kSelected : RowSource::kChecked;
  switch (command) {
    case Command::kCheckAll:
    case Command::kCheckNone:
      CheckAllRows(*list_, command == Command::kCheckAll);
      return true;
    case Command::kCheckAllInGroup:
    case Command::kCheckNoneInGroup:
      CheckRowsInSelectedGroup(host, command == Command::kCheckAllInGroup);
      return true;
    case Command::kCheckNotPresent:
      CheckRowsByStatus(*list_, CheckRule::kNotPresent);
      return true;
    case Command::kCheckDisabled:
      CheckRowsByStatus(*list_, CheckRule::kDisabled);
      return true;
    case Command::kCheckWithErrors:
      CheckRowsByStatus(*list_, CheckRule::kWithErrors);
      return true;
    case Command::kCheckPhysical:
      CheckPhysicalDevices(host);
      return true;
    case Command::kCheckAbsent30Days:
    case Command::kCheckAbsent90Days:
    case Command::kCheckAbsent365Days: {
      const uint32_t days = command == Command::kCheckAbsent30Days   ? 30
                            : command == Command::kCheckAbsent90Days ? 90
                                                                     : 365;
      CheckNotPresentLongerThan(host, days, FileTimeNow());
      return true;
    }
    case Command::kDisable:
      DisableCheckedDevices(host);
      return true;
    case Command::kEnable:
      EnableCheckedDevices(host);
      return true;
    case Command::kRestart:
      RestartDevices(host, rows);
      return true;
    case Command::kToggleDeviceState:
      ToggleSelectedDeviceState(host);
      return true;
    // Driver store tools.
    case Command::kBackupChecked:
      if (list_->CheckedRows().empty()) {
        AskUser(kCheckItemsFirst, kMessageOk);
      } else {
        BackupCheckedDevices(host);
      }
      return true;
    case Command::kBackupAll:
      BackupAllDevices(host, kBackupAskAboutNotPresent);
      return true;
    case Command::kInstallFromFolder:
      InstallDriversFromFolder(host);
      return true;
    case Command::kRestoreRemovedDrivers:
      RestoreRemovedDrivers(host);
      return true;
    case Command::kGoogleHardwareId:
    case Command::kGoogleDeviceName:
    case Command::kGoogleNameAndHardwareId: {
      const int row = SelectedRowOrAsk();
      if (row < 0) return true;
      const SearchKind kind = command == Command::kGoogleHardwareId   ? SearchKind::kHardwareId
                              : command == Command::kGoogleDeviceName ? SearchKind::kDeviceName
                                                                      : SearchKind::kNameAndHardwareId;
      ShellOpenAsDesktopUser(SearchUrl(SearchTextOfRow(*list_, row, kind)));
      return true;
    }
    case Command::kCopyHardwareId:
    case Command::kCopyDeviceName: {
      const int row = SelectedRowOrAsk();
      if (row < 0) return true;
      const WideText text = SearchTextOfRow(
          *list_, row, command == Command::kCopyHardwareId ? SearchKind::kHardwareId : SearchKind::kDeviceName);
      CopyTextToClipboard(window_->Handle(), text.Buffer());
      return true;
    }
    case Command::kDeviceProperties:
      OpenDeviceProperties();
      return true;
    case Command::kFindDevice:
      Find().Show();
      return true;
    case Command::kFindNext:
      FindNext();
      return true;
    case Command::kExportList:
      ExportList();
      return true;
    case Command::kUpdateWithOvelant:
      UpdateDriversWithOvelant(host);
      return true;
    default:
      return false;
  }
}

int MainWindow::SelectedRowOrAsk() {
  const int row = list_->SelectedRow();
  if (row < 0) AskUser(kSelectItemFirst, kMessageOk);
  return row;
}

void MainWindow::OpenDeviceProperties() {
  const int row = SelectedRowOrAsk();
  if (row < 0) return;
  MainOperationHost host(*this);
  DeviceInfo device;
  const auto runDll = libraries_.DevicePropertiesRunDll();
  if (runDll != nullptr && DeviceOfRow(host, row, &device)) {
    PropertyReader reader(inventory_.Platform());
    const WideText id = reader.ReadFirst(inventory_.Set(), device, devpkey::kInstanceId);
    if (!id.Empty()) {
      const WideText commandLine = Concat({u"/DeviceID ", id});
      // Returns when the user closes the sheet.
      runDll(window_->Handle(), nullptr, W(commandLine), 0);
    }
  }
  while (PumpEvent(kPumpPending)) {
  }
  BringWindowToTop(window_->Handle());
}

void MainWindow::ExportList() {
  WideText picked;
  int filter = 1;
  if (!SaveExportFileDialog(&picked, &filter, window_->Handle())) return;
  const WideText path = ExportPathForFilter(picked, filter);
  const std::vector<ExportRow> rows =
      ReadExportRows(inventory_.Platform(), inventory_.Set(), *list_, RowsInShownOrder(*list_));
  if (!ReplaceWholeFile(path, FormatExport(ExportFormatOf(path.View()), rows, true))) {
    const WideText message = Concat({u"Sorry, the list could not be written to ", path});
    AskUser(message.Buffer(), kMessageOk);
  }
}

void MainWindow::HandleFindEvent() {
  const int32_t code = event_->code;
  if (find_.IsFindNext(code)) {
    FindNext();
  } else if (find_.IsClose(code)) {
    find_.Hide();
  }
}

void MainWindow::FindNext() {
  const WideText text = find_.SearchText();
  if (text.Empty()) {
    find_.FocusSearchBox();
    return;
  }
  const int row = FindNextRow(*list_, text, find_.lastFound);
  if (row < 0) {
    // The next search starts again at the top.
    find_.lastFound = -1;
    SetFocus(window_->Handle());
    AskUser(kFindReachedEnd, kMessageTip);
    return;
  }
  find_.lastFound = row;
  SetFocus(window_->ControlHandle(ids_.list));
  find_.KeepAboveOwner();
  RevealRow(*list_, row);
}

}  // namespace pyr
