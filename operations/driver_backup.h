// "Backup checked" and "Backup all": the drivers of devices copied out of the driver store, one
// folder per device under a folder the user picks.
#pragma once

#include <cstdint>

#include "operations/operation_host.h"
#include "driverstore/backup_rules.h"

namespace pyr {

// The ticked devices, on the interface thread. Drivers backed up; -1 when the pick is cancelled.
int BackupCheckedDevices(OperationHost& host);
// Every device on a worker thread; flags as BackupAllFlags. -1 when the question or pick is cancelled.
int BackupAllDevices(OperationHost& host, uint32_t flags);

}  // namespace pyr
