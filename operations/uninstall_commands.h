// Removing devices: the ticked or selected devices, their driver packages, and every device the
// system remembers but that is not connected.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "driverstore/removed_drivers.h"
#include "operations/operation_host.h"
#include "operations/state_commands.h"

namespace pyr {

// The row's device uninstalled from the inventory's device set; a needs-reboot answer sets the
// host's reboot flag. A device the system no longer knows at all went with its parent, which
// was uninstalled before it: that counts as uninstalled too.
bool UninstallDevice(OperationHost& host, int row, bool* needsReboot = nullptr);
// "Uninstall checked" (kChecked) and "Uninstall device" (kSelected).
void UninstallDevices(OperationHost& host, RowSource source);
// "Uninstall and delete drivers" (kChecked) and "Uninstall and delete driver" (kSelected): each
// device uninstalled, and its package (only one the system published for a vendor, oem<digits>.inf)
// copied and then taken out of the store, never by force, after the last of the devices that use
// it; a package that a device not ticked uses stays, and so does a device whose package could
// not be copied.
void UninstallAndDeleteDrivers(OperationHost& host, RowSource source);
// "Restore removed drivers...": the removed packages put back into the store (the picker opened
// at the newest batch of copies) and the hardware scanned. Returns what PutBackDriverPackages
// returns; -1 too when nothing was ever removed.
int RestoreRemovedDrivers(OperationHost& host);
// Which absent devices "Uninstall all devices not present" takes: those of one class only (as
// the Class column names it, case ignored) when className is not empty, none of the classes in
// exceptClasses, and with olderThanDays only those whose last removal is more than that many
// days before now (a FILETIME; a device without the date is kept); with listOnly each is named
// with its date as one that would be uninstalled, and none is.
struct NotPresentScope {
  WideText className;
  bool listOnly = false;
  std::vector<WideText> exceptClasses = {};
  std::optional<uint32_t> olderThanDays = {};
  uint64_t now = 0;
};
// Returns the number of devices removed (or listed), or -1 when the user declined.
int UninstallAllNotPresent(OperationHost& host, const NotPresentScope& scope = {});

}  // namespace pyr
