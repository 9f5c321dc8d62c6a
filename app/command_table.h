// The main window's commands: the eight group buttons with their menus, the accelerators and the
// list's context menu. Menus, accelerators and dispatch are all built from these tables.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "devices/list_presentation.h"

namespace pyr {

enum class Command : uint8_t {
  kNone,  // a separator
  kRefresh,
  kScanHardware,
  kScanAndInstall,
  kShowNotPresent,
  kGroupByType,
  kExpandAll,
  kCollapseAll,
  kCheckAll,
  kCheckNone,
  kCheckAllInGroup,
  kCheckNoneInGroup,
  kCheckNotPresent,
  kCheckPhysical,
  kCheckDisabled,
  kCheckWithErrors,
  kUninstall,
  kUninstallAndDeleteDrivers,
  kUninstallNotPresent,
  kAddDevice,
  kUpdateDrivers,
  kChangeDrivers,
  kReinstall,
  kInstallFromFolder,
  kRestoreRemovedDrivers,
  kUpdateWithOvelant,
  kDisable,
  kEnable,
  kRestart,
  kGoogleHardwareId,
  kGoogleDeviceName,
  kGoogleNameAndHardwareId,
  kCopyHardwareId,
  kCopyDeviceName,
  kDeviceProperties,
  kFindDevice,
  kFindNext,
  kExportList,
  kBackupChecked,
  kBackupAll,
  kToggleDeviceState,  // context menu only: "Disable device" / "Enable device"
  kCheckAbsent30Days,
  kCheckAbsent90Days,
  kCheckAbsent365Days,
  kShowPackages,
  kShowPackageDevices,
  kCheckOlderPackages,
  kCheckUnusedPackages,
  kCheckNotPresentPackages,
  kDeletePackages,
};

// Which of the main window's two lists a command acts on: the devices, the driver store's
// packages, or either. A command outside the list shown is greyed and its key does nothing.
enum ViewMask : uint8_t { kInDevices = 1, kInPackages = 2, kInBoth = kInDevices | kInPackages };

// Accelerator key flags as the accelerator table wants them (FVIRTKEY, FCONTROL, FALT).
inline constexpr uint8_t kAccelVirtKey = 0x01;
inline constexpr uint8_t kAccelCtrl = 0x08;
inline constexpr uint8_t kAccelAlt = 0x10;

// Virtual-key codes used by the table.
inline constexpr uint16_t kKeyReturn = 0x0D;
inline constexpr uint16_t kKeyF3 = 0x72;
inline constexpr uint16_t kKeyF5 = 0x74;

struct Accelerator {
  uint8_t flags = 0;  // 0: no accelerator
  uint16_t key = 0;
};

// Icon numbers are "IMAGE" resource ids; two items and one button are drawn instead.
inline constexpr int kIconNone = 0;
inline constexpr int kIconCheckMarks = -1;    // the pair of drawn check-mark bitmaps
inline constexpr int kIconDrawnCheck = -2;    // the drawn check mark of the "Select..." button
// The context menu's state item shows the first when it enables, the second when it disables.
inline constexpr int kIconEnable = 26;
inline constexpr int kIconDisable = 27;

struct MenuItemSpec {
  Command command = Command::kNone;
  const char16_t* text = nullptr;  // null for a separator
  Accelerator accelerator;
  int icon = kIconNone;
  CommandNeed need = CommandNeed::kNothing;  // what the list must offer for the item to be enabled
  uint8_t views = kInDevices;
};

struct GroupSpec {
  const char16_t* button;
  int icon;
  std::span<const MenuItemSpec> items;
};

struct ContextItemSpec {
  Command command;   // kNone for a separator
  const char16_t* text;
  int icon;
};

// The eight groups in button order.
std::span<const GroupSpec> CommandGroups();
// The list's context menu in item order.
std::span<const ContextItemSpec> ContextMenuItems();
// The packages list's context menu: its commands act on the selected package.
std::span<const ContextItemSpec> PackageContextMenuItems();

struct AcceleratorEntry {
  Command command;
  Accelerator accelerator;
};
// Every accelerator of the menus, in menu order.
std::vector<AcceleratorEntry> MainAccelerators();

// The menu item of a command; null for a command no menu holds.
const MenuItemSpec* FindMenuItem(Command command);
// Whether the command acts on the list shown (packages or devices). Context-menu commands act on
// the devices.
bool CommandInView(Command command, bool packagesShown);

// The context menu's state item: "Enable device" when nothing is selected or the selected row's
// status is "Disabled" (any case), else "Disable device".
struct StateItemLook {
  const char16_t* text;
  int icon;
  bool enables;
};
StateItemLook ContextStateItem(bool rowSelected, const char16_t* selectedStatus);

}  // namespace pyr
