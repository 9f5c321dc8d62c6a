// The copy every driver backup makes: one store folder put, whole, into its folder of the backup.
#pragma once

#include "base/file_system.h"
#include "driverstore/backup_rules.h"

namespace pyr {

// What a backup tells the person watching; both may be ignored.
class BackupReport {
 public:
  virtual ~BackupReport() = default;
  virtual void Progress(const WideText& text) = 0;
  virtual void Line(const WideText& text) = 0;
};

// Copies storeFolder into the folder parts name below target.root (DeviceBackupFolder), or the one
// target.folders gives the package instead. True only when every file was copied; false, with
// nothing written, for parts that would lead out of the root. Below the chosen folder no existing
// link is entered and no existing file is written through; the copy is made in a fresh folder and
// put in place when whole, so a failure removes only that folder. The pump, when given, runs
// before the copy and before each copied entry. copiedTo, when given, receives the folder.
bool CopyIntoBackup(const BackupTarget& target, const BackupFolderParts& parts, const WideText& storeFolder,
                    const PendingEventPump& pump, WideText* copiedTo);

}  // namespace pyr
