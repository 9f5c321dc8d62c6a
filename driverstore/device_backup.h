// Copying one device's driver package out of the driver store into the backup tree.
#pragma once

#include "devices/device_platform.h"
#include "driverstore/backup_copy.h"

namespace pyr {

// Copies the device's package into root\class\name[ - manufacturer][ - version] by CopyIntoBackup's
// rules. Devices without a driver, a store location or a name are skipped without a line; true
// only when every file was copied. copiedTo, when given, receives the folder.
bool BackUpOneDevice(DevicePlatform& platform, DeviceSet set, const DeviceInfo& device,
                     const BackupTarget& target, BackupReport& report, const PendingEventPump& pump = {},
                     WideText* copiedTo = nullptr);

}  // namespace pyr
