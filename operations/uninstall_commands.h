// Removing devices: the ticked or selected devices, their driver packages, and every device the
// system remembers but that is not connected.
#pragma once

#include <cstdint>

#include "driverstore/removed_drivers.h"
#include "operations/operation_host.h"
#include "operations/state_commands.h"

namespace pyr {

// The row's device uninstalled from the inventory's device set; a needs-reboot answer sets the
// host's reboot flag. A device the system no longer knows at all went with its parent, which
// was uninstalled before it: that counts as uninstalled too.
bool UninstallDevice(OperationHost& host, int row);
// Copies the row's driver package out of the store, uninstalls the device, then asks the system
// to take the package out of the store. Only a package the system published for a vendor
// (oem<digits>.inf) is ever asked for, and never by force: the system keeps a package that another
// device still uses, and then its copy goes again. A package that could not be copied stays, and
// so does its device. *deviceGone, when given, is set once the device is uninstalled, whether or
// not its package went.
bool RemoveDriverPackage(OperationHost& host, int row, RemovalCopies& copies, bool* deviceGone = nullptr);

// "Uninstall checked" (kChecked) and "Uninstall device" (kSelected).
void UninstallDevices(OperationHost& host, RowSource source);
// "Uninstall and delete drivers" (kChecked) and "Uninstall and delete driver" (kSelected).
void UninstallAndDeleteDrivers(OperationHost& host, RowSource source);
// "Restore removed drivers...": install from folder, the picker opened at the copies of removed
// packages. Returns what InstallDriversFromFolder returns; -1 too when nothing was ever removed.
int RestoreRemovedDrivers(OperationHost& host);
// Which absent devices "Uninstall all devices not present" takes: those of one class only (as
// the Class column names it, case ignored) when className is not empty; with listOnly each is
// named as one that would be uninstalled, and none is.
struct NotPresentScope {
  WideText className;
  bool listOnly = false;
};
// Returns the number of devices removed (or listed), or -1 when the user declined.
int UninstallAllNotPresent(OperationHost& host, const NotPresentScope& scope = {});

}  // namespace pyr
