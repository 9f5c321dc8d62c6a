// Copying one package of the driver store, as the packages view lists it, into the backup tree.
#pragma once

#include "driverstore/backup_copy.h"
#include "driverstore/store_package.h"

namespace pyr {

// Copies the package's store folder into root\class\name[ - provider][ - version] by
// CopyIntoBackup's rules: name is the original INF name (the published one when that is unknown),
// version the version part of DriverVer. One line for every package, also one whose store folder
// could not be read; true only when every file was copied.
bool BackUpOnePackage(const StorePackage& package, const BackupTarget& target, BackupReport& report,
                      const PendingEventPump& pump = {}, WideText* copiedTo = nullptr);

}  // namespace pyr
