// A package of the store presented to the device backup as the one device of a set of its own,
// so that a package no device uses is copied by the same rules and into the same folders as a
// device's: class, then original INF name, provider and version.
#pragma once

#include "devices/forwarding_platform.h"
#include "driverstore/store_package.h"

namespace pyr {

class PackageAsDevice : public ForwardingPlatform {
 public:
  PackageAsDevice(DevicePlatform& inner, const StorePackage& package);
  DeviceSet Set() const { return DeviceSet{reinterpret_cast<uintptr_t>(this)}; }
  DeviceInfo Device() const { return DeviceInfo{}; }

  // The set's device answers the properties the backup reads from the package's facts; other
  // sets go to the system.
  bool GetDeviceProperty(DeviceSet set, const DeviceInfo& device, const DevPropKey& key, uint32_t* type,
                         uint8_t* buffer, uint32_t bufferSize, uint32_t* requiredSize, uint32_t* error) override;

 private:
  const StorePackage& package_;
  WideText version_;  // DriverVer's version, as a device's driver version reads
};

}  // namespace pyr
