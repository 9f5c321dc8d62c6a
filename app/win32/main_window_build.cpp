// Building the main window's contents: the list, the right pane with its buttons and menus, the
// legend, the links, the context menu and the accelerators; loading and saving the settings.
#include <windows.h>
#include <commctrl.h>

#include "app/command_table.h"
#include "app/main_window_texts.h"
#include "app/settings.h"
#include "app/web_addresses.h"
#include "app/win32/main_window.h"
#include "devices/device_columns.h"
#include "devices/device_status.h"
#include "driverstore/package_columns.h"
#include "ui/layout_rules.h"
#include "ui/win32/list_view.h"
#include "ui/win32/text_fit.h"

namespace pyr {
namespace {

constexpr int kButtonX = 10;
constexpr int kButtonTop = 15;
constexpr int kButtonStep = 35;
constexpr int kButtonWidth = 130;
constexpr int kButtonHeight = 28;
constexpr int kButtonIcon = 20;
constexpr int kPaneRightMargin = 2;

}  // namespace

HBITMAP MainWindow::ButtonBitmap(int icon) {
  const int size = window_->Scale(kButtonIcon);
  return icon == kIconDrawnCheck ? images_.CheckMark(size, true) : images_.Picture(icon, size);
}

HBITMAP MainWindow::MenuBitmap(int icon) {
  return images_.Picture(icon, window_->SystemMetric(SM_CXMENUCHECK));
}

void MainWindow::BuildList() {
  UiWindow& w = *window_;
  ids_.list = AddDeviceListView(w, 0, 0, 600, 550);
  if (ids_.list == 0) return;
  w.SetControlLayoutFlags(ids_.list, kAnchorLeft | kAnchorTop | kAnchorRight | kAnchorBottom);
  // The window takes the list's colours, so the pane and the list read as one surface.
  const HWND list = w.ControlHandle(ids_.list);
  w.SetWindowBackColour(ListView_GetBkColor(list));
  w.SetWindowTextColour(ListView_GetTextColor(list));
  list_ = std::make_unique<ListViewDeviceList>(w, ids_.list);
}

void MainWindow::BuildPackageList() {
  UiWindow& w = *window_;
  // In the device list's place, with the line of sums below it.
  ids_.packageList = AddPackageListView(w, 0, 0, 600, 514);
  if (ids_.packageList == 0) return;
  w.SetControlLayoutFlags(ids_.packageList, kAnchorLeft | kAnchorTop | kAnchorRight | kAnchorBottom);
  ids_.packageSums = w.AddText(u"", 6, 517, 590, 34, SS_LEFT | SS_NOPREFIX);
  w.SetControlLayoutFlags(ids_.packageSums, kAnchorLeft | kAnchorRight | kAnchorBottom);
  packageList_ = std::make_unique<ListViewDeviceList>(w, ids_.packageList);
}

void MainWindow::BuildPane() {
  UiWindow& w = *window_;
  ids_.pane = w.AddPanel(600, -1, 152, 553);
  w.SetControlLayoutFlags(ids_.pane, kAnchorRight | kAnchorTop | kAnchorBottom);
  BuildGroupMenus();
  ids_.startupTipBox = w.AddStartupTipCheckBox();
  BuildLegendAndLinks();
  BuildContextMenu();
  FitPaneTexts();
}

void MainWindow::FitPaneTexts() {
  UiWindow& w = *window_;
  std::vector<int32_t> stack(ids_.buttons.begin(), ids_.buttons.end());
  stack.push_back(ids_.startupTipBox);
  stack.push_back(ids_.legendTitle);
  stack.insert(stack.end(), ids_.legend.begin(), ids_.legend.end());
  stack.insert(stack.end(), ids_.links.begin(), ids_.links.end());
  RECT pane{};
  GetClientRect(w.ControlHandle(ids_.pane), &pane);
  FitStackToTexts(w, stack, pane.right - w.Scale(kButtonX + kPaneRightMargin));
}

void MainWindow::FollowDpi() {
  UiWindow& w = *window_;
  const auto groups = CommandGroups();
  const int icon = w.Scale(kButtonIcon);
  for (size_t g = 0; g < groups.size(); ++g) {
    w.SetControlImage(ids_.buttons[g], ButtonBitmap(groups[g].icon), icon, icon);
  }
  const int grip = w.SizeGripSide();
  w.SetControlImage(ids_.sizeGrip, images_.Picture(kSizeGripImage, grip), grip, grip);
  // The menus take pictures of the new size the next time they open.
  pendingPictures_.clear();
  for (size_t g = 0; g < groups.size(); ++g) QueueMenuPictures(g);
  QueueContextMenuPictures();
  FitPaneTexts();
}

void MainWindow::QueueMenuPictures(size_t group) {
  const GroupSpec& menu = CommandGroups()[group];
  const int32_t button = ids_.buttons[group];
  const int size = window_->SystemMetric(SM_CXMENUCHECK);
  for (const MenuItemSpec& item : menu.items) {
    const int32_t id = ids_.commands.IdOf(item.command, CommandSource::kMenu);
    if (item.text == nullptr || id == 0) continue;
    if (item.icon == kIconCheckMarks) {
      // Ticked and empty check marks, shown by the item's own check state.
      window_->SetMenuItemCheckMarks(id, images_.CheckMark(size, true),
                                     images_.CheckMark(size, false));
    } else {
      pendingPictures_.push_back({button, id, item.icon});
    }
  }
}

void MainWindow::QueueContextMenuPictures() {
  const auto queue = [this](int32_t list, std::span<const ContextItemSpec> items, const std::vector<int32_t>& ids) {
    for (size_t i = 0; i < items.size() && i < ids.size(); ++i) {
      // The state item's picture follows the selection each time the menu opens.
      const Command command = items[i].command;
      if (command == Command::kNone || command == Command::kToggleDeviceState) continue;
      if (ids[i] != 0) pendingPictures_.push_back({list, ids[i], items[i].icon});
    }
  };
  queue(ids_.list, ContextMenuItems(), ids_.contextItems);
  queue(ids_.packageList, PackageContextMenuItems(), ids_.packageContextItems);
}

void MainWindow::BuildGroupMenus() {
  UiWindow& w = *window_;
  const auto groups = CommandGroups();
  for (size_t g = 0; g < groups.size(); ++g) {
    const GroupSpec& group = groups[g];
    const int y = kButtonTop + static_cast<int>(g) * kButtonStep;
    const int32_t button = w.AddButton(group.button, kButtonX, y, kButtonWidth, kButtonHeight);
    ids_.buttons[g] = button;
    if (button == 0) continue;
    const int icon = w.Scale(kButtonIcon);
    w.SetControlImage(button, ButtonBitmap(group.icon), icon, icon);

    bool first = true;
    for (const MenuItemSpec& item : group.items) {
      int32_t id = 0;
      if (item.text == nullptr) {
        id = w.AddMenuItem(button, nullptr, 100, kMenuItemSeparator);
      } else if (item.icon == kIconCheckMarks) {
        // The item's pair of check marks comes with the rest of the menu's pictures.
        id = first ? w.AttachPopupMenu(button, item.text, nullptr)
                   : w.AddMenuItem(button, item.text, 100, kMenuItemCheck);
      } else {
        id = first ? w.AttachPopupMenu(button, item.text, nullptr)
                   : w.AddMenuItem(button, item.text, 100, kMenuItemPlain);
      }
      first = false;
      ids_.commands.Add(id, item.command, CommandSource::kMenu);
    }
    QueueMenuPictures(g);
  }
}

void MainWindow::BuildLegendAndLinks() {
  UiWindow& w = *window_;
  ids_.legendTitle = w.AddText(kLegendTitle, 10, 345, 130, 18, WS_VISIBLE | SS_CENTER);
  const auto legend = StatusLegend();
  static constexpr int kLegendY[] = {365, 390, 415, 440};
  for (size_t i = 0; i < legend.size() && i < ids_.legend.size(); ++i) {
    const int32_t id = w.AddText(legend[i].label, 10, kLegendY[i], 130, 20,
                                 WS_VISIBLE | SS_CENTER | SS_CENTERIMAGE);
    w.SetControlTextColour(id, 0xFFFFFF);
    w.SetControlBackColour(id, legend[i].colour);
    ids_.legend[i] = id;
  }

  const WideText version = Concat({u"Version <a>", kVersionText, u"</a>"});
  const WideText maker = Concat({u"App by <a>", kMakerSiteName, u"</a>"});
  const char16_t* linkTexts[] = {kDonateLink, version.Buffer(), maker.Buffer()};
  static constexpr int kLinkY[] = {475, 500, 525};
  w.SetDefaultFont(9, FW_BOLD);
  for (size_t i = 0; i < ids_.links.size(); ++i) ids_.links[i] = w.AddLink(linkTexts[i], kLinkY[i]);
  w.SetDefaultFont(9, FW_NORMAL);
}

void MainWindow::BuildContextMenu() {
  UiWindow& w = *window_;
  const auto build = [&](int32_t list, std::span<const ContextItemSpec> items, std::vector<int32_t>* ids) {
    for (size_t i = 0; i < items.size(); ++i) {
      const ContextItemSpec& item = items[i];
      int32_t id = 0;
      if (item.command == Command::kNone) {
        id = w.AddMenuItem(list, nullptr, 100, kMenuItemSeparator);
      } else {
        id = i == 0 ? w.AttachPopupMenu(list, item.text, nullptr) : w.AddMenuItem(list, item.text, 100, kMenuItemPlain);
      }
      ids->push_back(id);
      ids_.commands.Add(id, item.command, CommandSource::kContextMenu);
    }
  };
  build(ids_.list, ContextMenuItems(), &ids_.contextItems);
  build(ids_.packageList, PackageContextMenuItems(), &ids_.packageContextItems);
  const auto items = ContextMenuItems();
  for (size_t i = 0; i < items.size(); ++i) {
    if (items[i].command == Command::kToggleDeviceState) ids_.contextStateItem = ids_.contextItems[i];
  }
  QueueContextMenuPictures();
}

void MainWindow::GiveMenuItsPictures(int32_t menuOwner) {
  std::erase_if(pendingPictures_, [&](const PendingPicture& pending) {
    if (pending.menuOwner != menuOwner) return false;
    const HBITMAP icon = MenuBitmap(pending.icon);
    window_->SetMenuItemCheckMarks(pending.item, icon, icon);
    return true;
  });
}

FindDeviceWindow& MainWindow::Find() {
  if (!find_.Created() && window_ != nullptr) find_.Create(*window_, images_);
  return find_;
}

void MainWindow::InstallAccelerators() {
  std::vector<ACCEL> table;
  for (const AcceleratorEntry& entry : MainAccelerators()) {
    const int32_t id = ids_.commands.IdOf(entry.command, CommandSource::kMenu);
    table.push_back({static_cast<BYTE>(entry.accelerator.flags), entry.accelerator.key,
                     static_cast<WORD>(id)});
  }
  window_->SetAccelerators(table.data(), static_cast<int>(table.size()));
}

bool MainWindow::LoadSettings() {
  const HWND hwnd = window_->Handle();
  RECT rect{};
  GetWindowRect(hwnd, &rect);
  const PixelSize current{rect.right - rect.left, rect.bottom - rect.top};
  window_->SetMinTrackSize(current.cx, current.cy);

  const HDC screenDc = GetDC(nullptr);
  const PixelSize screen{GetDeviceCaps(screenDc, HORZRES), GetDeviceCaps(screenDc, VERTRES)};
  ReleaseDC(nullptr, screenDc);

  StoredSettings stored;
  const bool opened = ReadStoredSettings(settingsKey_, stored);
  // The stored sizes, and the screen sizes the rules compare them with, are 96-DPI units: the
  // rules choose in those and the window shows the choice at its DPI.
  const UiWindow& w = *window_;
  const PixelSize current96{w.Unscale(current.cx), w.Unscale(current.cy)};
  const PixelSize chosen = ChooseWindowSize(current96, {w.Unscale(screen.cx), w.Unscale(screen.cy)},
                                            stored);
  const PixelSize size =
      chosen == current96 ? current : PixelSize{w.Scale(chosen.cx), w.Scale(chosen.cy)};
  const PixelPoint at = CentredPosition(screen, size);
  // A resize makes the frame and every control lay out again; skip it when the size stays.
  UINT placement = SWP_NOACTIVATE | SWP_NOOWNERZORDER;
  if (size == current) placement |= SWP_NOSIZE;
  if (at != PixelPoint{rect.left, rect.top} || size != current) {
    SetWindowPos(hwnd, nullptr, at.x, at.y, size.cx, size.cy, placement);
  }

  for (int i = 0; i < kDeviceColumnCount; ++i) {
    SetColumnWidth(*window_, ids_.list, i, ColumnWidthAtLoad(stored, i));
  }
  for (int i = 0; i < kPackageColumnCount; ++i) {
    SetColumnWidth(*window_, ids_.packageList, i, PackageColumnWidthAtLoad(stored, i));
  }
  packagesShown_ = stored.packagesView.value_or(0) != 0;
  appFlag_ = stored.appFlag.value_or(0);
  window_->SetControlState(ids_.startupTipBox,
                           (appFlag_ & kAppFlagNoStartupTip) != 0 ? kStateUncheck : kStateCheck);
  listFlag_ = stored.listFlag.value_or(0);
  return opened;
}

bool MainWindow::SaveSettings() {
  SettingsToSave settings;
  RECT rect{};
  // Stored in 96-DPI units, so that a size saved at one scale reads the same at another.
  if (window_ != nullptr && GetWindowRect(window_->Handle(), &rect)) {
    settings.window = PixelSize{window_->Unscale(rect.right - rect.left),
                                window_->Unscale(rect.bottom - rect.top)};
  }
  const HWND list = window_ != nullptr ? window_->ControlHandle(ids_.list) : nullptr;
  for (int i = 0; i < kDeviceColumnCount; ++i) {
    settings.columnWidths[i] =
        list != nullptr ? window_->Unscale(ListView_GetColumnWidth(list, i)) : 0;
  }
  const HWND packages = window_ != nullptr ? window_->ControlHandle(ids_.packageList) : nullptr;
  for (int i = 0; i < kPackageColumnCount; ++i) {
    settings.packageColumnWidths[i] =
        packages != nullptr ? window_->Unscale(ListView_GetColumnWidth(packages, i)) : 0;
  }
  settings.appFlag = appFlag_;
  settings.listFlag = listFlag_;
  settings.packagesView = packagesShown_;
  return WriteSettings(settingsKey_, settings);
}

void MainWindow::ApplyViewChecks() {
  const ViewChecks checks = ViewChecksFor(listFlag_);
  const int32_t notPresent = ids_.commands.IdOf(Command::kShowNotPresent, CommandSource::kMenu);
  const int32_t grouped = ids_.commands.IdOf(Command::kGroupByType, CommandSource::kMenu);
  window_->SetControlState(notPresent, checks.showNotPresent ? kStateCheck : kStateUncheck);
  window_->SetControlState(grouped, checks.groupByType ? kStateCheck : kStateUncheck);
  const int32_t packages = ids_.commands.IdOf(Command::kShowPackages, CommandSource::kMenu);
  window_->SetControlState(packages, packagesShown_ ? kStateCheck : kStateUncheck);
  SetGroupCommandsEnabled(checks.groupByType);
}

void MainWindow::RefreshCommandAvailability() {
  ApplyCommandAvailability(UpdateCommandAvailability(*list_, listFlag_));
}

void MainWindow::ApplyCommandAvailability(const CommandAvailability& devices) {
  // The packages view answers for its own list, whatever the device list's rebuild reports.
  CommandAvailability availability = devices;
  if (packagesShown_) {
    availability = {.anyChecked = !packageList_->CheckedRows().empty(),
                    .rowSelected = packageList_->SelectedRow() >= 0,
                    .grouped = false};
  }
  for (const GroupSpec& group : CommandGroups()) {
    for (const MenuItemSpec& item : group.items) {
      const int32_t id = ids_.commands.IdOf(item.command, CommandSource::kMenu);
      if (id == 0 || item.text == nullptr) continue;
      const bool enabled = CommandInView(item.command, packagesShown_) && availability.Allows(item.need);
      window_->SetControlState(id, enabled ? kStateEnable : kStateDisable);
    }
  }
}

}  // namespace pyr
