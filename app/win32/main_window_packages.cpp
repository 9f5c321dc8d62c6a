// The main window's packages view: the driver store's packages in the device list's place, the
// legend that explains their colours, and the commands that act on the checked packages.
#include <windows.h>

#include <chrono>

#include "app/main_window_texts.h"
#include "app/win32/file_pickers.h"
#include "app/win32/main_operation_host.h"
#include "app/win32/main_window.h"
#include "base/file_system.h"
#include "devices/list_export.h"
#include "driverstore/package_columns.h"
#include "driverstore/package_list.h"
#include "operations/store_package_backup.h"
#include "operations/store_package_removal.h"
#include "ui/dialogs/message_rules.h"
#include "ui/win32/list_view.h"

namespace pyr {

namespace {

constexpr char16_t kStoreNotRead[] = u"Sorry, the driver store could not be read (error ";
constexpr UINT_PTR kSizeWalkTimer = 0x505A;
// Short enough that a key or a click waits no longer than this for the next step.
constexpr auto kSizeWalkStep = std::chrono::milliseconds(15);

}  // namespace

void MainWindow::ShowPackagesView(bool on) {
  packagesShown_ = on;
  const int32_t item = ids_.commands.IdOf(Command::kShowPackages, CommandSource::kMenu);
  window_->SetControlState(item, on ? kStateCheck : kStateUncheck);
  if (on && packages_.Stale()) FillPackages();
  // Find looks through the devices: it has nothing to find among the packages.
  if (on && find_.Created() && find_.Visible()) find_.Hide();
  window_->SetControlState(ids_.list, on ? kStateHide : kStateShow);
  window_->SetControlState(ids_.packageList, on ? kStateShow : kStateHide);
  window_->SetControlState(ids_.packageSums, on ? kStateShow : kStateHide);
  ApplyLegend();
  RefreshCommandAvailability();
  SetGroupCommandsEnabled(ViewChecksFor(listFlag_).groupByType);
  SetFocus(window_->ControlHandle(on ? ids_.packageList : ids_.list));
}

void MainWindow::FillPackages() {
  DevicePlatform& platform = inventory_.Platform();
  // The device list's own pass read every device's package when it showed the devices not
  // present too; otherwise one more pass reads them.
  const PackageUsers* users = inventory_.Users();
  PackageUsers ownPass;
  if (users == nullptr && ownPass.Read(platform, true)) users = &ownPass;
  std::vector<StorePackage> packages;
  uint32_t error = 0;
  // Only the folders walked before are sized now; the others follow while the window waits.
  packages_.FolderSizes().SetDeferring(true);
  const HCURSOR previous = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
  const bool read = ReadStorePackages(platform, users, &packages, &error, &packages_.FolderSizes());
  SetCursor(previous);
  if (!read) {
    const WideText message = Concat({kStoreNotRead, WideText::FromUInt64(error), u")."});
    AskUser(message.Buffer(), kMessageOk);
  }
  packages_.Show(*packageList_, std::move(packages));
  sizeWalkRunning_ = packages_.FolderSizes().PendingCount() > 0;
  if (sizeWalkRunning_) SetTimer(window_->Handle(), kSizeWalkTimer, USER_TIMER_MINIMUM, nullptr);
  ShowPackageSums();
  RefreshCommandAvailability();
}

void MainWindow::ContinueSizeWalk(bool toTheEnd) {
  if (!sizeWalkRunning_) return;
  StoreFolderSizes& sizes = packages_.FolderSizes();
  if (toTheEnd) {
    const HCURSOR previous = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    while (!sizes.WalkPending(std::chrono::hours(1))) {
    }
    SetCursor(previous);
  } else if (!sizes.WalkPending(kSizeWalkStep)) {
    return;
  }
  KillTimer(window_->Handle(), kSizeWalkTimer);
  sizeWalkRunning_ = false;
  packages_.ApplyWalkedSizes(*packageList_);
  ShowPackageSums();
}

void MainWindow::ShowPackageSums() {
  const WideText sums =
      sizeWalkRunning_
          ? Concat({WideText::FromUInt64(packages_.Packages().size()), u" driver packages; their sizes are being read..."})
          : PackageSumsLine(SumPackages(packages_.Packages()));
  window_->SetControlText(ids_.packageSums, sums.Buffer());
}

void MainWindow::ApplyLegend() {
  const HWND list = window_->ControlHandle(ids_.list);
  const COLORREF listBack = ListView_GetBkColor(list), listText = ListView_GetTextColor(list);
  for (size_t i = 0; i < ids_.legend.size(); ++i) {
    const auto entries = packagesShown_ ? PackageLegend() : StatusLegend();
    if (i >= entries.size()) break;
    const bool plain = entries[i].colour == kDefaultColour;
    window_->SetControlText(ids_.legend[i], entries[i].label);
    window_->SetControlTextColour(ids_.legend[i], plain ? listText : 0xFFFFFF);
    window_->SetControlBackColour(ids_.legend[i], plain ? listBack : entries[i].colour);
  }
  FitPaneTexts();
}

std::vector<StorePackage> MainWindow::ChosenPackagesOrAsk(CommandSource source) {
  std::vector<StorePackage> chosen;
  if (source == CommandSource::kContextMenu) {
    if (const StorePackage* p = packages_.PackageOfRow(*packageList_, packageList_->SelectedRow())) chosen.push_back(*p);
    if (chosen.empty()) AskUser(kSelectItemFirst, kMessageOk);
    return chosen;
  }
  chosen = packages_.CheckedPackages(*packageList_);
  if (chosen.empty()) AskUser(kCheckItemsFirst, kMessageOk);
  return chosen;
}

void MainWindow::OpenPackageContextMenu() {
  const bool selected = packageList_->SelectedRow() >= 0;
  const auto items = PackageContextMenuItems();
  for (size_t i = 0; i < items.size() && i < ids_.packageContextItems.size(); ++i) {
    if (items[i].command == Command::kNone) continue;
    const bool enabled = selected || items[i].command == Command::kRefresh;
    window_->SetControlState(ids_.packageContextItems[i], enabled ? kStateEnable : kStateDisable);
  }
  GiveMenuItsPictures(ids_.packageList);
  window_->ShowPopupMenu(ids_.packageList, 0, -1, -1);
}

bool MainWindow::RunPackageCommand(Command command, CommandSource source) {
  // The removal's and the export's sizes are whole.
  if (command == Command::kDeletePackages || command == Command::kExportList) ContinueSizeWalk(true);
  switch (command) {
    case Command::kCheckAll: packages_.Check(*packageList_, PackageCheckRule::kAll); return true;
    case Command::kCheckNone: packages_.Check(*packageList_, PackageCheckRule::kNone); return true;
    case Command::kCheckOlderPackages: packages_.Check(*packageList_, PackageCheckRule::kOlder); return true;
    case Command::kCheckUnusedPackages: packages_.Check(*packageList_, PackageCheckRule::kUnused); return true;
    case Command::kCheckNotPresentPackages:
      packages_.Check(*packageList_, PackageCheckRule::kNotPresentOnly);
      return true;
    case Command::kExportList: ExportPackages(); return true;
    case Command::kShowPackageDevices:
    case Command::kDeletePackages:
    case Command::kBackupChecked: {
      const std::vector<StorePackage> chosen = ChosenPackagesOrAsk(source);
      if (chosen.empty()) return true;
      MainOperationHost host(*this);
      if (command == Command::kShowPackageDevices) {
        ShowDevicesOfPackages(chosen);
      } else if (command == Command::kDeletePackages) {
        // A removal rebuilds the lists; the packages Windows kept stay ticked.
        RemoveStorePackages(host, chosen, PackageRemovalScope{});
      } else {
        BackupStorePackages(host, chosen);
      }
      return true;
    }
    default: return false;
  }
}

void MainWindow::ShowDevicesOfPackages(const std::vector<StorePackage>& chosen) {
  // Devices not present are shown when a chosen package has some, or they could not be ticked.
  const bool ghosts = std::any_of(chosen.begin(), chosen.end(),
                                  [](const StorePackage& p) { return p.use.notPresent > 0; });
  ShowPackagesView(false);
  if (ghosts && (listFlag_ & kListShowNotPresent) == 0) ToggleShowNotPresentCommand();
  CheckDevicesOfPackages(*list_, chosen);
  RefreshCommandAvailability();
}

void MainWindow::ExportPackages() {
  WideText picked;
  int filter = 1;
  if (!SaveExportFileDialog(&picked, &filter, window_->Handle())) return;
  const WideText path = ExportPathForFilter(picked, filter);
  // The rows as shown: in their order, and only those.
  std::vector<std::vector<WideText>> records;
  const int rows = packageList_->RowCount();
  for (int row = 0; row < rows; ++row) {
    if (const StorePackage* p = packages_.PackageOfRow(*packageList_, row)) records.push_back(PackageCells(*p));
  }
  if (!ReplaceWholeFile(path, FormatTextTable(ExportFormatOf(path.View()), PackageColumnTitles(), records))) {
    const WideText message = Concat({u"Sorry, the list could not be written to ", path});
    AskUser(message.Buffer(), kMessageOk);
  }
}

}  // namespace pyr
