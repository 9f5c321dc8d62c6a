#include "app/command_table.h"

#include "base/wide_text.h"

namespace pyr {
namespace {

constexpr uint8_t kPlain = kAccelVirtKey;
constexpr uint8_t kCtrl = kAccelVirtKey | kAccelCtrl;
constexpr uint8_t kAlt = kAccelVirtKey | kAccelAlt;

constexpr Accelerator Key(uint8_t flags, uint16_t key) { return {flags, key}; }
constexpr Accelerator Ctrl(char letter) { return {kCtrl, static_cast<uint16_t>(letter)}; }
constexpr Accelerator Alt(char letter) { return {kAlt, static_cast<uint16_t>(letter)}; }
constexpr MenuItemSpec kSeparator{};

using C = Command;
constexpr CommandNeed kChecked = CommandNeed::kCheckedRow;
constexpr CommandNeed kSelected = CommandNeed::kSelectedRow;
constexpr CommandNeed kGrouped = CommandNeed::kGroups;

constexpr MenuItemSpec kRescanItems[] = {
    {C::kRefresh, u"Just refresh the list\tF5", Key(kPlain, kKeyF5), 23, {}, kInBoth},
    {C::kScanHardware, u"Scan for hardware changes\tCtrl+F5", Key(kCtrl, kKeyF5), 22},
    {C::kScanAndInstall, u"Scan and install missing devices\tAlt+F5", Key(kAlt, kKeyF5), 24},
};

constexpr MenuItemSpec kViewItems[] = {
    {C::kShowNotPresent, u"Show devices not present\tCtrl+S", Ctrl('S'), kIconCheckMarks},
    {C::kGroupByType, u"Group by device type\tCtrl+T", Ctrl('T'), kIconCheckMarks},
    kSeparator,
    {C::kExpandAll, u"Expand all groups\tAlt+E", Alt('E'), 26, kGrouped},
    {C::kCollapseAll, u"Collapse all groups\tAlt+C", Alt('C'), 27, kGrouped},
    kSeparator,
    {C::kShowPackages, u"Show driver store packages\tCtrl+K", Ctrl('K'), kIconCheckMarks, {}, kInBoth},
    {C::kShowPackageDevices, u"Show devices of checked packages", {}, 26, kChecked, kInPackages},
};

constexpr MenuItemSpec kSelectItems[] = {
    {C::kCheckAll, u"Check all\tCtrl+A", Ctrl('A'), 26, {}, kInBoth},
    {C::kCheckNone, u"Check none\tCtrl+N", Ctrl('N'), 27, {}, kInBoth},
    kSeparator,
    {C::kCheckAllInGroup, u"Check all in this group\tAlt+A", Alt('A'), 26, kSelected},
    {C::kCheckNoneInGroup, u"Check none in this group\tAlt+N", Alt('N'), 27, kSelected},
    kSeparator,
    {C::kCheckNotPresent, u"Check all not present\tCtrl+P", Ctrl('P'), 26},
    {C::kCheckPhysical, u"Check all physical devices\tCtrl+L", Ctrl('L'), 26},
    {C::kCheckDisabled, u"Check all disabled\tCtrl+D", Ctrl('D'), 26},
    {C::kCheckWithErrors, u"Check all with errors\tCtrl+W", Ctrl('W'), 26},
    kSeparator,
    {C::kCheckAbsent30Days, u"Check not present for more than 30 days", {}, 26},
    {C::kCheckAbsent90Days, u"Check not present for more than 90 days", {}, 26},
    {C::kCheckAbsent365Days, u"Check not present for more than 365 days", {}, 26},
    kSeparator,
    {C::kCheckOlderPackages, u"Check older package versions", {}, 26, {}, kInPackages},
    {C::kCheckUnusedPackages, u"Check packages no device uses", {}, 26, {}, kInPackages},
    {C::kCheckNotPresentPackages, u"Check packages only devices not present use", {}, 26, {}, kInPackages},
};

constexpr MenuItemSpec kUninstallItems[] = {
    {C::kUninstall, u"Uninstall checked\tCtrl+X", Ctrl('X'), 28, kChecked},
    {C::kUninstallAndDeleteDrivers, u"Uninstall and delete drivers\tAlt+X", Alt('X'), 29, kChecked},
    kSeparator,
    {C::kUninstallNotPresent, u"Uninstall all devices not present\tAlt+P", Alt('P'), 30},
    kSeparator,
    {C::kDeletePackages, u"Delete checked driver packages", {}, 29, kChecked, kInPackages},
};

constexpr MenuItemSpec kInstallItems[] = {
    {C::kAddDevice, u"Add a device\tAlt+I", Alt('I'), 24},
    {C::kUpdateDrivers, u"Update checked devices\tCtrl+U", Ctrl('U'), 33, kChecked},
    {C::kChangeDrivers, u"Change checked device drivers\tAlt+U", Alt('U'), 32, kChecked},
    kSeparator,
    {C::kReinstall, u"Reinstall checked devices\tCtrl+R", Ctrl('R'), 34, kChecked},
    kSeparator,
    {C::kInstallFromFolder, u"Install drivers from folder\tCtrl+I", Ctrl('I'), 35, {}, kInBoth},
    {C::kRestoreRemovedDrivers, u"Restore removed drivers...", {}, 35, {}, kInBoth},
    kSeparator,
    {C::kUpdateWithOvelant, u"Update drivers with Ovelant\tCtrl+M", Ctrl('M'), 36},
};

constexpr MenuItemSpec kSetStateItems[] = {
    {C::kDisable, u"Disable checked\tCtrl+Q", Ctrl('Q'), 27, kChecked},
    {C::kEnable, u"Enable checked\tAlt+Q", Alt('Q'), 26, kChecked},
    kSeparator,
    {C::kRestart, u"Restart checked\tAlt+R", Alt('R'), 23, kChecked},
};

constexpr MenuItemSpec kGetInfoItems[] = {
    {C::kGoogleHardwareId, u"Google hardware ID\tCtrl+G", Ctrl('G'), 39, kSelected},
    {C::kGoogleDeviceName, u"Google device name\tAlt+G", Alt('G'), 39, kSelected},
    {C::kGoogleNameAndHardwareId, u"Google name and hardware ID\tCtrl+H", Ctrl('H'), 39, kSelected},
    kSeparator,
    {C::kCopyHardwareId, u"Copy hardware ID\tCtrl+C", Ctrl('C'), 40, kSelected},
    {C::kCopyDeviceName, u"Copy device name\tAlt+D", Alt('D'), 40, kSelected},
    kSeparator,
    {C::kDeviceProperties, u"Device properties\tAlt+Enter", Key(kAlt, kKeyReturn), 32, kSelected},
    kSeparator,
    {C::kFindDevice, u"Find a device\tCtrl+F", Ctrl('F'), 42},
    // The double tab is how this item has always read.
    {C::kFindNext, u"Find next\t\tF3", Key(kPlain, kKeyF3), 42},
    kSeparator,
    {C::kExportList, u"Export list...\tCtrl+E", Ctrl('E'), 40, {}, kInBoth},
};

constexpr MenuItemSpec kBackupItems[] = {
    {C::kBackupChecked, u"Backup checked\tCtrl+B", Ctrl('B'), 41, kChecked, kInBoth},
    {C::kBackupAll, u"Backup all\tAlt+B", Alt('B'), 41},
};

constexpr GroupSpec kGroups[] = {
    {u"Rescan", 23, kRescanItems},
    {u"View", 25, kViewItems},
    {u"Select...", kIconDrawnCheck, kSelectItems},
    {u"Uninstall", 28, kUninstallItems},
    {u"Install", 33, kInstallItems},
    {u"Set state", 37, kSetStateItems},
    {u"Get info", 38, kGetInfoItems},
    {u"Backup", 41, kBackupItems},
};

constexpr ContextItemSpec kContextItems[] = {
    {C::kUpdateDrivers, u"Update device driver", 33},
    {C::kToggleDeviceState, u"Disable device", 27},
    {C::kUninstall, u"Uninstall device", 28},
    {C::kUninstallAndDeleteDrivers, u"Uninstall and delete driver", 29},
    {C::kReinstall, u"Reinstall device", 34},
    {C::kRestart, u"Restart device", 23},
    {C::kNone, nullptr, kIconNone},
    {C::kScanHardware, u"Scan for hardware changes", 22},
    {C::kNone, nullptr, kIconNone},
    {C::kDeviceProperties, u"Device properties", 32},
    {C::kGoogleNameAndHardwareId, u"Google name and hardware ID", 39},
};

constexpr ContextItemSpec kPackageContextItems[] = {
    {C::kDeletePackages, u"Delete driver package", 29},
    {C::kBackupChecked, u"Backup driver package", 41},
    {C::kShowPackageDevices, u"Show its devices", 26},
    {C::kNone, nullptr, kIconNone},
    {C::kRefresh, u"Just refresh the list", 23},
};

}  // namespace

std::span<const GroupSpec> CommandGroups() { return kGroups; }

std::span<const ContextItemSpec> PackageContextMenuItems() { return kPackageContextItems; }

std::span<const ContextItemSpec> ContextMenuItems() { return kContextItems; }

std::vector<AcceleratorEntry> MainAccelerators() {
  std::vector<AcceleratorEntry> entries;
  for (const GroupSpec& group : kGroups) {
    for (const MenuItemSpec& item : group.items) {
      if (item.accelerator.flags != 0) entries.push_back({item.command, item.accelerator});
    }
  }
  return entries;
}

const MenuItemSpec* FindMenuItem(Command command) {
  if (command == Command::kNone) return nullptr;
  for (const GroupSpec& group : kGroups) {
    for (const MenuItemSpec& item : group.items) {
      if (item.command == command) return &item;
    }
  }
  return nullptr;
}

bool CommandInView(Command command, bool packagesShown) {
  const MenuItemSpec* item = FindMenuItem(command);
  const uint8_t views = item != nullptr ? item->views : uint8_t{kInDevices};
  return (views & (packagesShown ? kInPackages : kInDevices)) != 0;
}

StateItemLook ContextStateItem(bool rowSelected, const char16_t* selectedStatus) {
  const bool disabled =
      rowSelected && selectedStatus != nullptr && WideText::EqualsNoCase(selectedStatus, u"Disabled");
  if (!rowSelected || disabled) return {u"Enable device", 26, true};
  return {u"Disable device", 27, false};
}

}  // namespace pyr
