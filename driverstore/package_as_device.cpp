#include "driverstore/package_as_device.h"

#include <cstring>

#include "devices/property_keys.h"
#include "driverstore/package_columns.h"

namespace pyr {

namespace {

constexpr uint32_t kDevPropTypeString = 0x12;

}  // namespace

PackageAsDevice::PackageAsDevice(DevicePlatform& inner, const StorePackage& package)
    : ForwardingPlatform(inner), package_(package), version_(PackageCell(package, kPackageVersion)) {}

bool PackageAsDevice::GetDeviceProperty(DeviceSet set, const DeviceInfo& device, const DevPropKey& key,
                                        uint32_t* type, uint8_t* buffer, uint32_t bufferSize,
                                        uint32_t* requiredSize, uint32_t* error) {
  if (set.value != Set().value) {
    return ForwardingPlatform::GetDeviceProperty(set, device, key, type, buffer, bufferSize, requiredSize, error);
  }
  const WideText* value = nullptr;
  if (key == devpkey::kDriverInfPath) value = &package_.publishedName;
  if (key == devpkey::kName) value = package_.originalName.Empty() ? &package_.publishedName : &package_.originalName;
  if (key == devpkey::kClass) value = &package_.className;
  if (key == devpkey::kManufacturer) value = &package_.provider;
  if (key == devpkey::kDriverVersion) value = &version_;
  *requiredSize = 0;
  // As SetupDiGetDevicePropertyW answers: absent, a size query, or the value.
  if (!value || value->Empty()) {
    if (error) *error = kErrorNotFound;
    return false;
  }
  const uint32_t bytes = static_cast<uint32_t>((value->View().size() + 1) * sizeof(char16_t));
  *requiredSize = bytes;
  if (bufferSize < bytes || !buffer) {
    if (error) *error = kErrorInsufficientBuffer;
    return false;
  }
  *type = kDevPropTypeString;
  std::memcpy(buffer, value->Buffer(), bytes);
  return true;
}

}  // namespace pyr
