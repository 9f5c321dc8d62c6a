// Removing devices: the ticked or selected devices, their driver packages, and every device the
// system remembers but that is not connected.
#pragma once

#include <cstdint>

#include "base/file_system.h"
#include "operations/operation_host.h"
#include "operations/state_commands.h"

namespace pyr {

// Deletes a file or folder tree with the given delete flags: 0 failed, 1 gone, 2 gone or left
// for deletion at the next restart.
using PathDeleter = int (*)(const WideText& path, uint32_t flags);

// The row's device uninstalled from the inventory's device set; a needs-reboot answer sets the
// host's reboot flag.
bool UninstallDevice(OperationHost& host, int row);
// Takes the row's driver package out of the driver store: through the system's package removal
// when it has one, else by uninstalling the device and deleting the package's store folder.
bool RemoveDriverPackage(OperationHost& host, int row, PathDeleter deletePath);

// "Uninstall checked" (kChecked) and "Uninstall device" (kSelected).
void UninstallDevices(OperationHost& host, RowSource source);
// "Uninstall and delete drivers" (kChecked) and "Uninstall and delete driver" (kSelected).
void UninstallAndDeleteDrivers(OperationHost& host, RowSource source, PathDeleter deletePath);
// Returns the number of devices removed, or -1 when the user declined.
int UninstallAllNotPresent(OperationHost& host);

}  // namespace pyr
