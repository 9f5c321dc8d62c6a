// Copying one device's driver package out of the driver store into the backup tree.
#pragma once

#include "base/file_system.h"
#include "devices/device_platform.h"

namespace pyr {

// What a backup tells the person watching; both may be ignored.
class BackupReport {
 public:
  virtual ~BackupReport() = default;
  virtual void Progress(const WideText& text) = 0;
  virtual void Line(const WideText& text) = 0;
};

// Copies the device's package into root\class\name[ - manufacturer][ - version]. Devices without a
// driver, a store location or a name are skipped without a line; true only when the copy worked.
// The pump, when given, runs before the copy and before each copied entry.
bool BackUpOneDevice(DevicePlatform& platform, DeviceSet set, const DeviceInfo& device, const WideText& root,
                     BackupReport& report, const PendingEventPump& pump = {});

}  // namespace pyr
