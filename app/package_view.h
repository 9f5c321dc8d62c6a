// The driver store's packages in the main window's second list: their rows and colours, the
// order each column sorts in, the check rules, and which checked rows are which packages.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "devices/device_list.h"
#include "devices/device_status.h"
#include "driverstore/package_list.h"
#include "driverstore/store_package.h"

namespace pyr {

inline constexpr uint32_t kColourPackageNotPresent = kColourNotPresent;
inline constexpr uint32_t kColourPackageUnused = 0x507090;
inline constexpr uint32_t kColourPackageOlder = 0x808000;

// The row's background: an older version shows as such whatever uses it; a package whose use is
// not known keeps the plain colours, as one in use does.
uint32_t PackageRowColour(const StorePackage& package);
// The legend's entries in the packages view; kDefaultColour is the list's own colours.
std::span<const LegendEntry> PackageLegend();

// Each package's place (0 first) in an ascending sort by column: sizes by bytes, versions by their
// four parts, dates by date, device counts by number, published names by their number, other texts
// as the list compares texts. Places are all different, ties going by place in packages, so a
// descending sort is the exact reverse.
std::vector<uint32_t> PackageRanks(const std::vector<StorePackage>& packages, int column);

class PackageView {
 public:
  // Shows packages in list, one row each: checks stay with the packages that are still there
  // (by published name), and the sort column and direction stay.
  void Show(DeviceList& list, std::vector<StorePackage> packages);
  // A header click (kSortToggle) or a kept order (kSortKeepShown).
  int Sort(DeviceList& list, int column, int direction);
  // Adds ticks to the rows whose package matches; kAll and kNone set every row.
  void Check(DeviceList& list, PackageCheckRule rule) const;
  // The package a row shows; null for a row that shows none.
  const StorePackage* PackageOfRow(const DeviceList& list, int row) const;
  std::vector<StorePackage> CheckedPackages(const DeviceList& list) const;
  const std::vector<StorePackage>& Packages() const { return packages_; }

  // Whether the rows still show the store as it is: a device-list rebuild or an operation makes
  // them stale, and the view reads the store again when it shows next.
  bool Stale() const { return stale_; }
  void MarkStale() { stale_ = true; }
  // Kept from one reading of the store to the next.
  StoreFolderSizes& FolderSizes() { return sizes_; }
  // The sizes walked since the rows showed, into the packages and their cells; the rows sorted
  // again when they are sorted by size.
  void ApplyWalkedSizes(DeviceList& list);

 private:
  std::vector<StorePackage> packages_;
  StoreFolderSizes sizes_;
  bool stale_ = true;
};

// "Show devices of checked packages": ticks exactly the device rows installed from one of packages
// (by the driver INF column), opens the first one's group and selects it. Returns how many.
int CheckDevicesOfPackages(DeviceList& devices, const std::vector<StorePackage>& packages);

}  // namespace pyr
