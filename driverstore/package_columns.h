// The columns of the driver store's packages: their titles and each package's texts, shared by
// the packages view and the /packages export.
#pragma once

#include <vector>

#include "base/wide_text.h"
#include "driverstore/store_package.h"

namespace pyr {

enum PackageColumn : int {
  kPackagePublished,
  kPackageOriginal,
  kPackageProvider,
  kPackageClass,
  kPackageVersion,
  kPackageDate,
  kPackageSize,
  kPackageDevices,
  kPackageDeviceNames,
  kPackageState,
  kPackageFolder,
  kPackageColumnCount
};

struct PackageColumnInfo {
  const char16_t* title;
  int defaultWidth;  // in 96-DPI units
};
const PackageColumnInfo& PackageColumnOf(int column);

// The version part of DriverVer; the date as yyyy-mm-dd; the size in bytes.
WideText PackageCell(const StorePackage& package, int column);
std::vector<WideText> PackageCells(const StorePackage& package);
std::vector<WideText> PackageColumnTitles();

// Bytes as people read them: "812 bytes", "14 KB", "3.5 MB", "1.2 GB".
WideText SizeText(uint64_t bytes);
// The line under the list: how many packages, their size, the older versions' and what removing
// the packages no device uses would free.
WideText PackageSumsLine(const PackageSums& sums);

// What the state column says, also the legend's words.
const char16_t* PackageStateText(const StorePackage& package);

}  // namespace pyr
