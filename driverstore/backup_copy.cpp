#include "driverstore/backup_copy.h"

#include "driverstore/package_folders.h"

namespace pyr {

bool CopyIntoBackup(const BackupTarget& target, const BackupFolderParts& parts, const WideText& storeFolder,
                    const PendingEventPump& pump, WideText* copiedTo) {
  WideText destination;
  if (!DeviceBackupFolder(target.root, parts, &destination)) return false;
  if (pump) pump();
  bool copied = false;
  if (target.folders) destination = target.folders->Claim(destination, storeFolder, &copied);
  WideText parent = destination;
  parent.ParentPath(false);
  // Twins share their package's copy; otherwise a fresh folder beside the package's is filled
  // and put in place when whole, so a failure leaves an earlier backup there as it was.
  if (!copied && CreateFolderBelow(target.chosen, parent)) {
    copied = CopyFolderIntoPlace(storeFolder, destination, pump);
    if (target.folders) target.folders->SetCopied(destination, copied);
  }
  if (copied && copiedTo) *copiedTo = destination;
  return copied;
}

}  // namespace pyr
