// Which devices the system knows, present or not, were installed from each driver package: what
// decides whether a package may leave the driver store.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "base/wide_text.h"
#include "devices/device_platform.h"

namespace pyr {

// The devices of one package, present or not, and the names of the first few.
struct PackageUse {
  static constexpr size_t kNamesKept = 3;
  size_t present = 0, notPresent = 0;
  std::vector<WideText> firstNames;
  size_t Total() const { return present + notPresent; }
};

class PackageUsers {
 public:
  // Reads DEVPKEY_Device_DriverInfPath of every device of every class; withDevices also reads
  // whether each is present and its name. False when the packages of the devices could not all
  // be read: then nothing may be concluded from the counts.
  bool Read(DevicePlatform& platform, bool withDevices = false);
  // One device installed from inf, for a list that already read its devices.
  void Add(const WideText& inf, bool present, const WideText& name);
  // Devices installed from the package (its published name, case ignored).
  size_t Count(const WideText& inf) const;
  // Its devices; null when none uses it.
  const PackageUse* Use(const WideText& inf) const;

 private:
  std::map<std::u16string, PackageUse> users_;
};

// The name the system gives a package it added to the store: "oem", digits, ".inf".
bool IsPublishedOemInf(const WideText& name);

}  // namespace pyr
