// The plan of "Uninstall and delete drivers", made before anything changes: for each ticked
// device the package it was installed from, whether that package may leave the driver store (no
// device that is not ticked uses it) and after which of the ticked devices it goes.
#pragma once

#include <map>
#include <vector>

#include "devices/device_list.h"
#include "driverstore/removed_drivers.h"
#include "operations/operation_host.h"

namespace pyr {

// Asked when the devices' packages cannot all be read: nothing is removed then.
inline constexpr char16_t kPackageUsersUnknown[] =
    u"Sorry, the devices that use these driver packages could not all be found, so no driver package "
    u"was removed.";

class PackageRemovalPlan {
 public:
  enum class Outcome {
    kNotUninstalled,
    kPackageGoesLater,  // another ticked device still uses it
    kPackageRemoved,
    kPackageStays,      // devices not ticked (or not uninstalled) use it
    kPackageKept,       // Windows kept it
  };

  PackageRemovalPlan(const DeviceList& list, const std::vector<int>& rows);
  // Finds every device installed from each package; false when that cannot be known.
  bool Read(DevicePlatform& platform);
  // The question before the removal, telling of packages that stay and devices that no scan
  // brings back.
  WideText Question(size_t rows) const;
  // Does one row: the package's copy first (once), the device, then the package after its last
  // ticked device.
  Outcome Remove(OperationHost& host, int row, RemovalCopies& copies);
  // The result line of the row Remove did last.
  WideText Line(const WideText& name, Outcome outcome) const;
  // The copies of packages that stayed after all (a cancel, a device that could not go).
  void DiscardUnused(RemovalCopies& copies);

 private:
  struct Package {
    WideText inf;
    size_t ticked = 0, users = 0;
    size_t tickedLeft = 0, failed = 0;
    bool copyTried = false;
    WideText copy = {};  // empty until copied, and after a discard
    bool Removable() const { return users <= ticked; }
  };
  std::vector<Package> packages_;
  std::map<int, size_t> packageOfRow_;
  size_t notReturning_ = 0;  // ticked root-enumerated and software devices
  size_t lastOthers_ = 0;
};

}  // namespace pyr
