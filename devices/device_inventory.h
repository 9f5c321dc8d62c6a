// DeviceInventory: what one enumeration pass leaves behind (the open device set, the class
// image list, the class table) and what the next pass needs from the last (the stored flag
// word, the sort column, the expanded group headers). BuildInventory rebuilds it and refills
// the device list in one pass.
#pragma once

#include <cstdint>
#include <vector>

#include "base/wide_text.h"
#include "devices/device_list.h"
#include "devices/device_platform.h"
#include "devices/driver_package_users.h"
#include "devices/list_presentation.h"

namespace pyr {

// One setup class, or the extra entry for devices without a class (GUID_NULL, no texts).
struct DeviceClassInfo {
  Guid guid;
  WideText name;
  WideText description;  // the group header
  int32_t imageIndex = -1;
  int groupId = kNoGroup;  // the place in the class table (pictures are shared, places are not)
};

// What the build needs from the window that shows the list.
class InventoryHost {
 public:
  virtual ~InventoryHost() = default;
  // A message with an OK button.
  virtual void ShowMessage(const WideText& text) = 0;
  // Enables and disables the commands by their menu texts.
  virtual void ApplyCommandAvailability(const CommandAvailability& commands) = 0;
};

class DeviceInventory {
 public:
  explicit DeviceInventory(DevicePlatform& platform) : platform_(platform) {}
  ~DeviceInventory() { Release(); }
  DeviceInventory(const DeviceInventory&) = delete;
  DeviceInventory& operator=(const DeviceInventory&) = delete;

  DevicePlatform& Platform() { return platform_; }
  // The set of the last build; rows keep indices into it.
  DeviceSet Set() const { return set_; }
  const std::vector<DeviceClassInfo>& ClassTable() const { return classes_; }
  // The device with this index in the set of the last build.
  bool DeviceAt(uint32_t setIndex, DeviceInfo* device);
  // Whether the device has a location path (a physical device).
  bool IsPhysicalDevice(uint32_t setIndex);

  // The flag word of the last build, reset to 0 at start-up.
  uint32_t storedFlags = 0;
  // The column the last build sorted by (-1: the one showing an arrow).
  int sortColumn = -1;
  // Headers of the groups that were expanded when the last build began.
  std::vector<WideText> expandedHeaders;

  // The devices of each driver package as the last build read them; null unless that build saw
  // every device, present or not, and read each one's package, so that no second pass is needed.
  const PackageUsers* Users() const { return usersComplete_ ? &users_ : nullptr; }

  // Destroys the device set and the class image list.
  void Release();

 private:
  friend bool BuildInventory(DeviceInventory&, DeviceList&, InventoryHost&, uint32_t,
                             WindowHandle);
  DevicePlatform& platform_;
  DeviceSet set_;
  ClassImageList images_;
  std::vector<DeviceClassInfo> classes_;
  PackageUsers users_;
  bool usersComplete_ = false;
};

constexpr const char16_t* kBuildFailedMessage = u"Sorry, Pyravel could not build the device list";
constexpr const char16_t* kUnknownDeviceName = u"Unknown device";

// Rebuilds the inventory and refills the list; false when the device set could not be opened
// (the list is then empty and the host has shown the failure).
bool BuildInventory(DeviceInventory& inventory, DeviceList& list, InventoryHost& host,
                    uint32_t listFlags, WindowHandle mainWindow = {});

}  // namespace pyr
