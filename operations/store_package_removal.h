// Removing chosen packages of the driver store (the packages view's "Delete" and the command
// line's /remove-packages): each copied into "Removed drivers" first, then handed to Windows
// without forcing, so that Windows keeps any package a device uses; its copy is then discarded.
#pragma once

#include <vector>

#include "driverstore/package_list.h"
#include "operations/operation_host.h"

namespace pyr {

enum class PackageRemoval { kRemoved, kWouldRemove, kNotCopied, kKeptInUse, kFailed };

struct PackageRemovalScope {
  bool listOnly = false;  // /whatif: the lines of what would go, nothing changed
};

struct PackageRemovalCounts {
  bool declined = false;
  int removed = 0;     // removed, or listed under /whatif
  int notRemoved = 0;  // kept by Windows, not copied or failed
};

// Asks, then runs the results dialog: one line per package, cancel between packages, the
// summary with the bytes freed and where the copies are.
PackageRemovalCounts RemoveStorePackages(OperationHost& host, const std::vector<StorePackage>& chosen,
                                         const PackageRemovalScope& scope);

// The line of one package.
WideText PackageRemovalLine(const StorePackage& package, PackageRemoval outcome, uint32_t error);

// Reads the store and its devices as the removal needs them; false (one message shown) when the
// devices that use the packages cannot all be known.
bool ReadStoreForRemoval(OperationHost& host, std::vector<StorePackage>* packages);

inline constexpr char16_t kStoreUnreadable[] =
    u"Sorry, the driver store's packages or the devices that use them could not all be read, so no "
    u"driver package was removed.";

}  // namespace pyr
