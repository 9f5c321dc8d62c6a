// One published third-party package of the driver store as the packages view lists it, and the
// rules that judge it: whether devices use it, whether a newer version of it is in the store.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "base/wide_text.h"
#include "devices/driver_package_users.h"

namespace pyr {

// DriverVer "MM/DD/YYYY[,w.x.y.z]": the date as a FILETIME and the version in four 16-bit parts.
struct DriverVerParts {
  uint64_t date = 0;
  uint64_t version = 0;
  bool valid = false;      // date and version both read: the package can be ranked
  bool dateValid = false;  // the date alone may be read when the version is not
};
DriverVerParts ParseDriverVer(std::u16string_view text);

enum class PackageUseKind {
  kPresent,     // a present device uses it
  kNotPresent,  // only devices that are not present use it
  kNone,        // no device uses it
  kUnknown,     // an extension package, or the devices could not all be read
};

struct StorePackage {
  WideText publishedName;  // oemN.inf
  WideText originalName, provider, className, classGuid, catalog, driverVer;
  WideText folder;          // its folder in the store; empty when the location could not be read
  DriverVerParts parts;
  std::optional<uint64_t> size;  // bytes on disk; absent when the folder could not be walked
  bool infRead = false;          // false: listed by its published name only
  bool factsRead = false;        // its original name and every [Version] key it has were read
  bool usersKnown = false;
  PackageUse use;
  bool older = false;  // a newer package of the same INF, provider and class is in the store

  PackageUseKind UseKind() const;
  bool IsExtension() const;
};

// Marks every package that a newer one (by version, then date) of the same original INF name,
// provider and class outranks. Only packages whose facts were all read take part: a failed read
// must not put a package into another's group.
void MarkOlderVersions(std::vector<StorePackage>* packages);

// The line under the list.
struct PackageSums {
  size_t shown = 0;
  uint64_t totalBytes = 0;
  uint64_t olderBytes = 0;     // older versions, whatever uses them
  uint64_t removableBytes = 0;  // older or unused, and used by no device: what removing frees
};
PackageSums SumPackages(const std::vector<StorePackage>& packages);

enum class PackageCheckRule { kAll, kNone, kOlder, kUnused, kNotPresentOnly };
bool PackageMatches(const StorePackage& package, PackageCheckRule rule);

}  // namespace pyr
