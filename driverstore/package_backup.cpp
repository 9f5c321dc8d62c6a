#include "driverstore/package_backup.h"

#include "driverstore/package_columns.h"

namespace pyr {

bool BackUpOnePackage(const StorePackage& package, const BackupTarget& target, BackupReport& report,
                      const PendingEventPump& pump, WideText* copiedTo) {
  report.Progress(Concat({u"Backing up ", package.publishedName, u"..."}));
  // No folder to copy from: an empty source would copy as an empty, useless backup.
  if (package.folder.Empty()) {
    report.Line(Concat({package.publishedName, kNotBackedUpSuffix}));
    return false;
  }
  const WideText version = PackageCell(package, kPackageVersion);
  BackupFolderParts parts;
  parts.className = package.className;
  parts.name = package.originalName.Empty() ? package.publishedName : package.originalName;
  parts.manufacturer = package.provider.Empty() ? nullptr : &package.provider;
  parts.version = version.Empty() ? nullptr : &version;
  const bool copied = CopyIntoBackup(target, parts, package.folder, pump, copiedTo);
  report.Line(Concat({parts.name, u" (", package.publishedName, u")", copied ? kBackedUpSuffix : kNotBackedUpSuffix}));
  return copied;
}

}  // namespace pyr
