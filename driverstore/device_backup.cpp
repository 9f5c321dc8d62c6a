#include "driverstore/device_backup.h"

#include <vector>

#include "devices/property_keys.h"
#include "devices/property_reader.h"
#include "driverstore/backup_rules.h"

namespace pyr {

bool BackUpOneDevice(DevicePlatform& platform, DeviceSet set, const DeviceInfo& device,
                     const BackupTarget& target, BackupReport& report, const PendingEventPump& pump,
                     WideText* copiedTo) {
  PropertyReader reader(platform);
  std::vector<WideText> texts;
  auto read = [&](const DevPropKey& key, WideText* out) {
    if (reader.Read(set, device, key, &texts) == 0) return false;
    *out = texts.front();
    return true;
  };
  WideText infName, storeInf, name, className, manufacturer, version;
  if (!read(devpkey::kDriverInfPath, &infName)) return false;
  if (!platform.GetInfDriverStoreLocation(infName.Buffer(), &storeInf)) return false;
  if (!read(devpkey::kName, &name)) return false;
  read(devpkey::kClass, &className);

  BackupFolderParts parts;
  parts.className = className;
  parts.name = name;
  const bool hasManufacturer = read(devpkey::kManufacturer, &manufacturer);
  const bool hasVersion = read(devpkey::kDriverVersion, &version);
  parts.manufacturer = hasManufacturer ? &manufacturer : nullptr;
  parts.version = hasVersion ? &version : nullptr;

  report.Progress(Concat({u"Backing up ", className.Empty() ? WideText(kUnknownClass) : className, u"..."}));
  WideText destination;
  bool copied = false;
  if (DeviceBackupFolder(target.root, parts, &destination)) {
    if (pump) pump();
    // Only a folder the checks made or accepted is removed again; a refused level is left alone.
    if (CreateFolderBelow(target.chosen, destination)) {
      copied = CopyFolderTree(StoreFolderOfInf(storeInf), destination, pump);
      if (!copied) DeletePath(destination, 0);
    }
  }
  if (copied && copiedTo) *copiedTo = destination;
  report.Line(Concat({name, copied ? kBackedUpSuffix : kNotBackedUpSuffix}));
  return copied;
}

}  // namespace pyr
