#include "app/win32/main_window.h"

#include <setupapi.h>

#include <chrono>

#include "app/main_window_texts.h"
#include "ui/dialogs/message_rules.h"
#include "ui/win32/list_view.h"
#include "app/settings.h"
#include "app/web_addresses.h"
#include "app/win32/main_operation_host.h"
#include "app/win32/privileges.h"
#include "base/win32/process.h"
#include "operations/driver_backup.h"
#include "base/win32/wchar.h"

namespace pyr {

MainWindow::MainWindow(ProgramEnvironment& environment)
    : environment_(environment), inventory_(environment.Platform()) {
  // The previous privilege state is of no use to the program; the command-line jobs enable the same.
  EnablePrivileges();
  libraries_.Load();
}

MainWindow::~MainWindow() {
  inventory_.Release();
  settingsKey_.Close();
  images_.Clear();
  libraries_.Release();
}

int MainWindow::Run(HINSTANCE instance, UiWindow& window, StartupTimes& times) {
  if (!BuildContents(instance, window, &times)) return 0;
  times.Mark("contents_built");
  ShowAndFill(&times);
  if (times.Enabled()) {
    times.Write();
    return 0;
  }
  AskStartupQuestions();
  if (closing_) {
    SaveSettings();  // closed while a start-up question was open
  } else {
    EventLoop();
  }
  return 0;
}

bool MainWindow::BuildContents(HINSTANCE instance, UiWindow& window, StartupTimes* times) {
  const auto mark = [times](const char* step) {
    if (times != nullptr) times->Mark(step);
  };
  instance_ = instance;
  images_.SetModule(instance);
  window_ = &window;
  event_ = window.EventSink();
  dialogs_.SetEventSink(event_);

  BuildList();
  if (ids_.list == 0) return false;
  BuildPackageList();
  if (ids_.packageList == 0) return false;
  mark("list_built");
  BuildPane();
  mark("pane_built");
  // The grip sits in the pane's lower-right corner; its picture is made at its own size.
  ids_.sizeGrip = window.AddSizeGrip(images_.Picture(kSizeGripImage, window.SizeGripSide()));
  window.EndPanel();
  // Moved to a monitor of another scale, the window makes its pictures and fits its texts again.
  window.SetDpiFollower([this] { FollowDpi(); });

  mark("grip_built");
  settingsKeyOpened_ = LoadSettings();
  mark("settings_loaded");
  ApplyViewChecks();
  RefreshCommandAvailability();
  InstallGroupHeaderClick(window, ids_.list);
  // A header click sorts by its column and a second one reverses; a rebuild keeps the arrow's
  // column and direction.
  EnableHeaderSort(window, ids_.list);
  InstallAccelerators();
  mark("commands_ready");
  return true;
}

void MainWindow::ShowAndFill(StartupTimes* times) {
  window_->ShowUiWindow(SW_SHOWNORMAL, kShowUpdate);
  if (times != nullptr) times->Mark("window_shown");
  // Device installation may show its own dialogs.
  SetupSetNonInteractiveMode(FALSE);
  const uint32_t loaded = listFlag_;
  listFlag_ = 0;
  RebuildList(loaded);
  // A view chosen in an earlier session shows again; the device list is filled either way.
  if (packagesShown_) ShowPackagesView(true);
  if (times != nullptr) {
    // Painted, not merely inserted: what the user sees.
    UpdateWindow(window_->ControlHandle(ids_.list));
    times->Mark("list_filled");
  }
}

void MainWindow::AskStartupQuestions() {
  const StartupPrompts prompts = StartupPromptsFor(settingsKeyOpened_, appFlag_);
  if (prompts.askFirstRunBackup && AskUser(kFirstRunQuestion, kMessageYesNo) == kAnswerYes) {
    // Every device, present or not, without the question of "Backup all".
    MainOperationHost host(*this);
    BackupAllDevices(host, kBackupIncludeNotPresent);
  }
  if (prompts.showStartupTip) AskUser(kStartupTip, kMessageTip);
}

void MainWindow::EventLoop() {
  closing_ = false;
  PumpEvent(kPumpWait);
  for (;;) {
    if (RebootNeeded() && OfferReboot()) return;  // settings already saved, restart requested
    // A close that arrived while a question or an operation was running has already answered
    // it; it ends the loop here without another wait.
    if (closing_) break;
    if (DeviceChangesSettled()) {
      if (RebuildOnDeviceChange(static_cast<int>(list_->CheckedRows().size()))) {
        RebuildList(listFlag_);
      } else {
        ForgetDeviceChanges();
      }
    }
    if (FromMainWindow()) {
      HandleMainEvent();
    } else if (find_.IsSourceOf(*event_)) {
      HandleFindEvent();
    }
    if (closing_) break;
    ContinueSizeWalk(false);
    PumpEvent(kPumpWait);
  }
  SaveSettings();
}

bool MainWindow::OfferReboot() {
  if (AskUser(kRebootQuestion, kMessageYesNo) == kAnswerYes) {
    SaveSettings();
    // A failed request is not reported: the program ends either way.
    environment_.RestartSystem(kRebootMessage);
    return true;
  }
  rebootNeeded_.store(0);
  return false;
}

bool MainWindow::PumpEvent(PumpMode mode) {
  // When the window whose keys applied is gone (a closed box or dialog), the main window's
  // accelerators apply again, whether or not the system re-activated it.
  UiWindow* keys = event_->acceleratorWindow;
  if (keys == nullptr || keys->Handle() == nullptr || !IsWindow(keys->Handle())) {
    event_->acceleratorWindow = window_;
  }
  bool took = true;
  if ((mode & kPumpPending) == 0) {
    TakeEvent(EventMode::kWait);
  } else {
    took = TakeEvent(EventMode::kPeekHandled) != 0;
    if (!took) return false;
  }
  // A tip goes at the next click or key, whichever window it was for; the event stays.
  dialogs_.ApplyTipRule(*event_);
  HandleLink();
  if (closing_) {
    cancelRequested_.store(kProgramClosing);
  } else if (dialogs_.IsCancelClick(*event_)) {
    cancelRequested_.store(kCancelPressed);
  } else if ((mode & kPumpRefreshing) != 0 && DeviceChangesSettled()) {
    RebuildList(listFlag_);
  }
  return took;
}

namespace {
constexpr UINT_PTR kDeviceChangeTimer = 0x5059;
}  // namespace

void MainWindow::NoteDeviceChange() {
  deviceChangePending_ = true;
  lastDeviceChangeMs_ = NowMs();
  // Setting the timer again restarts its count.
  SetTimer(window_->Handle(), kDeviceChangeTimer, static_cast<UINT>(kDeviceChangeQuietMs), nullptr);
}

bool MainWindow::DeviceChangesSettled() const {
  return pyr::DeviceChangesSettled(deviceChangePending_, lastDeviceChangeMs_, NowMs());
}

void MainWindow::ForgetDeviceChanges() {
  deviceChangePending_ = false;
  KillTimer(window_->Handle(), kDeviceChangeTimer);
}

void MainWindow::PumpUntilSignalled(HANDLE object) {
  for (;;) {
    while (PumpEvent(kPumpPending)) {
    }
    if (WaitForMessageOrObject(object, INFINITE)) break;
  }
  // What the worker sent last is handled before the caller goes on.
  while (PumpEvent(kPumpPending)) {
  }
}

void MainWindow::PumpEventsFor(DWORD timeoutMs) {
  WaitForMessageOrObject(nullptr, timeoutMs);
  while (PumpEvent(kPumpPending)) {
  }
}

int MainWindow::TakeEvent(EventMode mode) {
  const int result = NextEvent(*event_, mode);
  // Noted whoever reads the event: a message box's loop too.
  if (event_->code == ev::kDeviceChange) NoteDeviceChange();
  const bool sessionEnds =
      event_->message == WM_QUERYENDSESSION || event_->message == WM_ENDSESSION;
  if ((event_->code == ev::kClose && (FromMainWindow() || sessionEnds)) ||
      event_->code == ev::kPumpFailed) {
    closing_ = true;
  }
  return result;
}

int MainWindow::AskUser(const char16_t* text, int kind) {
  // The box's own loop reads the events; a close of the main window answers it and is noted.
  return dialogs_.AskUser(*window_, text, kind, [this] { TakeEvent(EventMode::kWait); });
}

ControlsDisabler MainWindow::LockControls() {
  // Both lists and the line between them come before the pane.
  return ControlsDisabler(*window_, ids_.list, ids_.pane);
}

void MainWindow::RebuildList(uint32_t listFlag) {
  // The new list shows every change noticed so far.
  ForgetDeviceChanges();
  BuildInventory(inventory_, *list_, *this, listFlag,
                 WindowHandle{reinterpret_cast<uintptr_t>(window_->Handle())});
  listFlag_ = listFlag;
  // The packages' devices may have changed with the devices.
  packages_.MarkStale();
  if (packagesShown_) FillPackages();
}

void MainWindow::ShowMessage(const WideText& text) { AskUser(text.Buffer(), kMessageOk); }

int64_t MainWindow::NowMs() const {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

bool MainWindow::FromMainWindow() const {
  return event_->sourceWindow == window_ || event_->source == window_->Handle();
}

void MainWindow::HandleMainEvent() {
  const int32_t code = event_->code;
  switch (code) {
    case ev::kDeviceChange:
      return;  // noted by the pump; the rebuild waits for the burst to end
    case ev::kMenuLoopLeft:
      menuToggle_.MenuClosed(NowMs());
      return;
    case ev::kDoubleClick:
      if (static_cast<int32_t>(event_->param) == ids_.list) ToggleSelectedRowCheck();
      if (static_cast<int32_t>(event_->param) == ids_.packageList) {
        const int row = packageList_->SelectedRow();
        if (row >= 0) packageList_->SetRowChecked(row, !packageList_->RowChecked(row));
      }
      return;
    case ev::kColumnClick:
      // The package columns sort by their values (sizes, versions, dates), not by their texts.
      if (static_cast<int32_t>(event_->param) == ids_.packageList) {
        packages_.Sort(*packageList_, static_cast<int>(event_->extra), kSortToggle);
      }
      return;
    case ev::kContextMenu: {
      const int32_t target = static_cast<int32_t>(event_->param);
      if (target == ids_.list) {
        OpenContextMenu();
        return;
      }
      if (target == ids_.packageList) {
        OpenPackageContextMenu();
        return;
      }
      for (size_t i = 0; i < ids_.buttons.size(); ++i) {
        if (ids_.buttons[i] == target) OpenGroupMenu(static_cast<int>(i));
      }
      return;
    }
    default:
      break;
  }
  if (code <= 0) return;
  for (size_t i = 0; i < ids_.buttons.size(); ++i) {
    if (ids_.buttons[i] == code) {
      OpenGroupMenu(static_cast<int>(i));
      return;
    }
  }
  if (code == ids_.startupTipBox) {
    OnStartupTipBox();
    return;
  }
  if (const std::optional<CommandHit> hit = ids_.commands.Find(code)) {
    RunCommand(hit->command, hit->source);
  }
}

void MainWindow::OpenGroupMenu(int buttonIndex) {
  const int32_t button = ids_.buttons[static_cast<size_t>(buttonIndex)];
  if (!menuToggle_.ShouldOpen(button, NowMs())) return;
  RefreshCommandAvailability();
  RECT rect{};
  GetWindowRect(window_->ControlHandle(button), &rect);
  GiveMenuItsPictures(button);
  window_->ShowPopupMenu(button, TPM_RIGHTALIGN | TPM_VERPOSANIMATION, rect.right + 5, rect.bottom);
}

void MainWindow::OpenContextMenu() {
  const int selected = list_->SelectedRow();
  const bool hasSelection = selected >= 0;
  const WideText status = hasSelection ? list_->CellText(selected, kColumnStatus) : WideText();
  const StateItemLook look = ContextStateItem(hasSelection, status.Buffer());
  window_->SetControlText(ids_.contextStateItem, look.text);
  HBITMAP icon = MenuBitmap(look.enables ? kIconEnable : kIconDisable);
  SetMenuItemBitmaps(window_->ControlMenu(ids_.contextStateItem),
                     static_cast<UINT>(ids_.contextStateItem), MF_BYCOMMAND, icon, icon);
  const auto items = ContextMenuItems();
  for (size_t i = 0; i < items.size() && i < ids_.contextItems.size(); ++i) {
    if (items[i].command == Command::kNone) continue;
    const int32_t id = ids_.contextItems[i];
    const bool enabled = hasSelection || items[i].command == Command::kScanHardware;
    window_->SetControlState(id, enabled ? kStateEnable : kStateDisable);
  }
  GiveMenuItsPictures(ids_.list);
  window_->ShowPopupMenu(ids_.list, 0, -1, -1);
}

void MainWindow::ToggleSelectedRowCheck() {
  const int row = list_->SelectedRow();
  if (row < 0) return;
  list_->SetRowChecked(row, !list_->RowChecked(row));
}

void MainWindow::OnStartupTipBox() {
  // An automatic check box: the click has already changed it.
  const bool checked = window_->GetControlState(ids_.startupTipBox, kStateCheck) != 0;
  appFlag_ = AppFlagAfterTipBox(checked, appFlag_);
  if (checked) AskUser(kStartupTipReenabled, kMessageTip);
}

bool MainWindow::HandleLink() {
  const int32_t code = event_->code;
  // Ids are per window: a dialog's button may carry a link's number.
  if (code <= 0 || !FromMainWindow()) return false;
  static constexpr MakerLink kLinks[] = {MakerLink::kDonate, MakerLink::kAbout, MakerLink::kHome};
  for (size_t i = 0; i < ids_.links.size(); ++i) {
    if (ids_.links[i] != code) continue;
    ShellOpenAsDesktopUser(WideText(MakerLinkUrl(kLinks[i])));
    return true;
  }
  return false;
}

void MainWindow::ToggleShowNotPresentCommand() {
  const int32_t id = ids_.commands.IdOf(Command::kShowNotPresent, CommandSource::kMenu);
  const bool wasChecked = window_->GetControlState(id, kStateCheck) != 0;
  const ViewToggleResult result = ToggleShowNotPresent(wasChecked, listFlag_);
  window_->SetControlState(id, result.checked ? kStateCheck : kStateUncheck);
  RebuildList(result.listFlag);
}

void MainWindow::ToggleGroupByTypeCommand() {
  const int32_t id = ids_.commands.IdOf(Command::kGroupByType, CommandSource::kMenu);
  const bool wasChecked = window_->GetControlState(id, kStateCheck) != 0;
  const ViewToggleResult result = ToggleGroupByType(wasChecked, listFlag_);
  window_->SetControlState(id, result.checked ? kStateCheck : kStateUncheck);
  RebuildList(result.listFlag);
  SetGroupCommandsEnabled(result.groupCommandsEnabled);
}

void MainWindow::SetGroupCommandsEnabled(bool enabled) {
  enabled = enabled && !packagesShown_;
  for (Command c : {Command::kExpandAll, Command::kCollapseAll}) {
    window_->SetControlState(ids_.commands.IdOf(c, CommandSource::kMenu),
                             enabled ? kStateEnable : kStateDisable);
  }
}

void MainWindow::RunCommand(Command command, CommandSource source) {
  // A key works as its greyed menu item does: not at all.
  if (source == CommandSource::kMenu && !CommandInView(command, packagesShown_)) return;
  if (command == Command::kShowPackages) {
    ShowPackagesView(!packagesShown_);
    return;
  }
  if (packagesShown_ && RunPackageCommand(command, source)) return;
  if (RunListCommand(command, source)) return;
  switch (command) {
    case Command::kRefresh:
      RebuildList(listFlag_);
      return;
    case Command::kShowNotPresent:
      ToggleShowNotPresentCommand();
      return;
    case Command::kGroupByType:
      ToggleGroupByTypeCommand();
      return;
    case Command::kExpandAll:
      ExpandAllGroups(*list_, true);
      return;
    case Command::kCollapseAll:
      ExpandAllGroups(*list_, false);
      return;
    case Command::kScanHardware:
    case Command::kScanAndInstall:
    case Command::kUninstall:
    case Command::kUninstallAndDeleteDrivers:
    case Command::kUninstallNotPresent:
    case Command::kAddDevice:
    case Command::kUpdateDrivers:
    case Command::kChangeDrivers:
    case Command::kReinstall:
      RunDeviceCommand(command, source);
      return;
    // The device operations, the selection and information commands, the driver-store tools
    // and the updater are carried out by their own modules as they join the program.
    case Command::kCheckAll:
    case Command::kCheckNone:
    case Command::kCheckAllInGroup:
    case Command::kCheckNoneInGroup:
    case Command::kCheckNotPresent:
    case Command::kCheckPhysical:
    case Command::kCheckDisabled:
    case Command::kCheckWithErrors:
    case Command::kCheckAbsent30Days:
    case Command::kCheckAbsent90Days:
    case Command::kCheckAbsent365Days:
    case Command::kInstallFromFolder:
    case Command::kRestoreRemovedDrivers:
    case Command::kUpdateWithOvelant:
    case Command::kDisable:
    case Command::kEnable:
    case Command::kRestart:
    case Command::kGoogleHardwareId:
    case Command::kGoogleDeviceName:
    case Command::kGoogleNameAndHardwareId:
    case Command::kCopyHardwareId:
    case Command::kCopyDeviceName:
    case Command::kDeviceProperties:
    case Command::kFindDevice:
    case Command::kFindNext:
    case Command::kExportList:
    case Command::kBackupAll:
    case Command::kBackupChecked:
    case Command::kToggleDeviceState:
    case Command::kShowPackages:
    case Command::kShowPackageDevices:
    case Command::kCheckOlderPackages:
    case Command::kCheckUnusedPackages:
    case Command::kCheckNotPresentPackages:
    case Command::kDeletePackages:
    case Command::kNone:
      return;
  }
}

}  // namespace pyr
