// Reads the driver store's published third-party packages through the device seam: the INF
// folder's oemN.inf names, each one's store folder, [Version] facts and original name, and the
// size of its folder by one walk.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "devices/device_platform.h"
#include "driverstore/store_package.h"

namespace pyr {

// The bytes of the files below folder, links not followed; absent when it cannot be listed.
std::optional<uint64_t> StoreFolderSize(const WideText& folder);

// The sizes of the store folders walked so far. A package's folder is never changed once Windows
// has staged it (another version gets a folder of its own), so a size once read stays right; a
// folder that could not be walked is walked again when asked next.
class StoreFolderSizes {
 public:
  // The size, walking the folder first when it was not walked yet, unless walks are deferred:
  // then the folder waits among the pending ones and nothing is known yet.
  std::optional<uint64_t> SizeOf(const WideText& folder);
  std::optional<uint64_t> Known(const WideText& folder) const;
  // A window defers the walks so that its rows show at once and the sizes follow.
  void SetDeferring(bool on) { deferring_ = on; }
  size_t PendingCount() const { return pending_.size(); }
  // Walks pending folders, at least one, until budget has passed; true when none is left.
  bool WalkPending(std::chrono::steady_clock::duration budget);

 private:
  std::unordered_map<std::u16string, uint64_t> known_;
  std::unordered_set<std::u16string> pending_;
  bool deferring_ = false;
};

// Every published package, ordered by its number (oem2 before oem10). users, when the devices
// could all be read, tells which devices use each; sizes, when given, keeps the folders' sizes
// for the next reading. False, with the call's error, only when the INF folder cannot be listed;
// a package that cannot be read is listed with what could be.
bool ReadStorePackages(DevicePlatform& platform, const PackageUsers* users,
                       std::vector<StorePackage>* packages, uint32_t* error, StoreFolderSizes* sizes = nullptr);

}  // namespace pyr
