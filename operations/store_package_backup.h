// "Backup checked" in the driver store's packages view: each chosen package copied out of the
// store into a folder the user picks, by the same folder rules as a device's backup.
#pragma once

#include <vector>

#include "driverstore/store_package.h"
#include "operations/operation_host.h"

namespace pyr {

// On the interface thread: one line per package, cancel between packages, then the summary.
// Packages backed up; 0 with none chosen, -1 when the pick is cancelled.
int BackupStorePackages(OperationHost& host, const std::vector<StorePackage>& chosen);

}  // namespace pyr
