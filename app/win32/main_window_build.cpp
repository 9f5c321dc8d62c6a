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
  return icon == kIconDrawnCheck ? images_.CheckMark(kButtonIcon, true)
                                 : images_.Picture(icon, kButtonIcon);
}

HBITMAP MainWindow::MenuBitmap(int icon) {
  return images_.Picture(icon, GetSystemMetrics(SM_CXMENUCHECK));
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
  FitStackToTexts(w, stack, pane.right - kButtonX - kPaneRightMargin);
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
    w.SetControlImage(button, ButtonBitmap(group.icon), kButtonIcon, kButtonIcon);

    bool first = true;
    for (const MenuItemSpec& item : group.items) {
      int32_t id = 0;
      if (item.text == nullptr) {
        id = w.AddMenuItem(button, nullptr, 100, kMenuItemSeparator);
      } else if (item.icon == kIconCheckMarks) {
        const int size = GetSystemMetrics(SM_CXMENUCHECK);
        HBITMAP on = images_.CheckMark(size, true);
        HBITMAP off = images_.CheckMark(size, false);
        if (first) {
          // The first item comes with the menu; it gets its pair of check marks afterwards.
          id = w.AttachPopupMenu(button, item.text, on);
          SetMenuItemBitmaps(w.ControlMenu(id), static_cast<UINT>(id), MF_BYCOMMAND, off, on);
        } else {
          id = w.AddMenuItem(button, item.text, 100, kMenuItemCheck, on, off);
        }
      } else {
        id = first ? w.AttachPopupMenu(button, item.text, nullptr)
                   : w.AddMenuItem(button, item.text, 100, kMenuItemPlain);
        if (id != 0) pendingPictures_.push_back({button, id, item.icon});
      }
      first = false;
      ids_.commands.Add(id, item.command, CommandSource::kMenu);
    }
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
  const auto items = ContextMenuItems();
  for (size_t i = 0; i < items.size(); ++i) {
    const ContextItemSpec& item = items[i];
    int32_t id = 0;
    if (item.command == Command::kNone) {
      id = w.AddMenuItem(ids_.list, nullptr, 100, kMenuItemSeparator);
    } else {
      id = i == 0 ? w.AttachPopupMenu(ids_.list, item.text, nullptr)
                  : w.AddMenuItem(ids_.list, item.text, 100, kMenuItemPlain);
      // The state item's picture follows the selection each time the menu opens.
      if (id != 0 && item.command != Command::kToggleDeviceState) {
        pendingPictures_.push_back({ids_.list, id, item.icon});
      }
    }
    ids_.contextItems.push_back(id);
    if (item.command == Command::kToggleDeviceState) ids_.contextStateItem = id;
    ids_.commands.Add(id, item.command, CommandSource::kContextMenu);
  }
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
  const PixelSize size = ChooseWindowSize(current, screen, stored);
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
  appFlag_ = stored.appFlag.value_or(0);
  window_->SetControlState(ids_.startupTipBox,
                           (appFlag_ & kAppFlagNoStartupTip) != 0 ? kStateUncheck : kStateCheck);
  listFlag_ = stored.listFlag.value_or(0);
  return opened;
}

bool MainWindow::SaveSettings() {
  SettingsToSave settings;
  RECT rect{};
  if (window_ != nullptr && GetWindowRect(window_->Handle(), &rect)) {
    settings.window = PixelSize{rect.right - rect.left, rect.bottom - rect.top};
  }
  const HWND list = window_ != nullptr ? window_->ControlHandle(ids_.list) : nullptr;
  for (int i = 0; i < kDeviceColumnCount; ++i) {
    settings.columnWidths[i] = list != nullptr ? ListView_GetColumnWidth(list, i) : 0;
  }
  settings.appFlag = appFlag_;
  settings.listFlag = listFlag_;
  return WriteSettings(settingsKey_, settings);
}

void MainWindow::ApplyViewChecks() {
  const ViewChecks checks = ViewChecksFor(listFlag_);
  const int32_t notPresent = ids_.commands.IdOf(Command::kShowNotPresent, CommandSource::kMenu);
  const int32_t grouped = ids_.commands.IdOf(Command::kGroupByType, CommandSource::kMenu);
  window_->SetControlState(notPresent, checks.showNotPresent ? kStateCheck : kStateUncheck);
  window_->SetControlState(grouped, checks.groupByType ? kStateCheck : kStateUncheck);
  SetGroupCommandsEnabled(checks.groupByType);
}

void MainWindow::RefreshCommandAvailability() {
  ApplyCommandAvailability(UpdateCommandAvailability(*list_, listFlag_));
}

void MainWindow::ApplyCommandAvailability(const CommandAvailability& availability) {
  for (const GroupSpec& group : CommandGroups()) {
    for (const MenuItemSpec& item : group.items) {
      if (item.need == CommandNeed::kNothing) continue;
      const int32_t id = ids_.commands.IdOf(item.command, CommandSource::kMenu);
      if (id != 0) {
        window_->SetControlState(id, availability.Allows(item.need) ? kStateEnable : kStateDisable);
      }
    }
  }
}

}  // namespace pyr
