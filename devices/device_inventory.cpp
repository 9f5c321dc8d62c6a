#include "devices/device_inventory.h"

#include "devices/property_keys.h"
#include "devices/property_reader.h"

namespace pyr {

void DeviceInventory::Release() {
  if (set_.Valid()) platform_.DestroyDeviceInfoList(set_);
  set_ = DeviceSet();
  if (images_.Valid()) platform_.DestroyClassImageList(images_);
  images_ = ClassImageList();
}

bool DeviceInventory::DeviceAt(uint32_t setIndex, DeviceInfo* device) {
  return set_.Valid() && platform_.EnumDeviceInfo(set_, setIndex, device);
}

bool DeviceInventory::IsPhysicalDevice(uint32_t setIndex) {
  DeviceInfo device;
  if (!DeviceAt(setIndex, &device)) return false;
  std::vector<WideText> paths;
  return ReadDeviceProperty(platform_, set_, device, devpkey::kLocationPaths, &paths) > 0;
}

}  // namespace pyr
