// Copying one device's driver package out of the driver store into the backup tree.
#pragma once

#include "base/file_system.h"
#include "devices/device_platform.h"
#include "driverstore/backup_rules.h"

namespace pyr {

// What a backup tells the person watching; both may be ignored.
class BackupReport {
 public:
  virtual ~BackupReport() = default;
  virtual void Progress(const WideText& text) = 0;
  virtual void Line(const WideText& text) = 0;
};

// Copies the device's package into root\class\name[ - manufacturer][ - version] (or the folder
// target.folders gives the package instead). Devices without a driver, a store location or a name
// are skipped without a line; true only when every file was copied. Below the chosen folder no
// existing link is entered and no existing file is written through; the copy is made in a fresh
// folder and put in place when whole, so a failure removes only that folder. The pump, when given,
// runs before the copy and before each copied entry. copiedTo, when given, receives the folder.
bool BackUpOneDevice(DevicePlatform& platform, DeviceSet set, const DeviceInfo& device,
                     const BackupTarget& target, BackupReport& report, const PendingEventPump& pump = {},
                     WideText* copiedTo = nullptr);

}  // namespace pyr
