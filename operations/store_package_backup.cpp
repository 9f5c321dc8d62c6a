#include "operations/store_package_backup.h"

#include "driverstore/package_backup.h"
#include "operations/backup_dialog.h"

namespace pyr {

int BackupStorePackages(OperationHost& host, const std::vector<StorePackage>& chosen) {
  return RunPickedBackup(host, chosen.size(), [&](size_t i, const BackupTarget& target, BackupReport& report,
                                                 const PendingEventPump& pump) {
    return BackUpOnePackage(chosen[i], target, report, pump) ? BackupStep::kBackedUp : BackupStep::kNotBackedUp;
  });
}

}  // namespace pyr
