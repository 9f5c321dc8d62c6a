#include "driverstore/device_backup.h"

#include <vector>

#include "devices/property_keys.h"
#include "devices/property_reader.h"

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
  const bool copied = CopyIntoBackup(target, parts, StoreFolderOfInf(storeInf), pump, copiedTo);
  report.Line(Concat({name, copied ? kBackedUpSuffix : kNotBackedUpSuffix}));
  return copied;
}

}  // namespace pyr
