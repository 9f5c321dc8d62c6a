// Which devices the system knows, present or not, were installed from each driver package: what
// decides whether a package may leave the driver store.
#pragma once

#include <cstddef>
#include <map>
#include <string>

#include "base/wide_text.h"
#include "devices/device_platform.h"

namespace pyr {

class PackageUsers {
 public:
  // Reads DEVPKEY_Device_DriverInfPath of every device of every class. False when the devices
  // could not all be read: then nothing may be concluded from the counts.
  bool Read(DevicePlatform& platform);
  // Devices installed from the package (its published name, case ignored).
  size_t Count(const WideText& inf) const;

 private:
  std::map<std::u16string, size_t> users_;
};

// The name the system gives a package it added to the store: "oem", digits, ".inf".
bool IsPublishedOemInf(const WideText& name);

}  // namespace pyr
