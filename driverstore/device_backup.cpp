#include "driverstore/device_backup.h"

#include <vector>

#include "devices/property_keys.h"
#include "devices/property_reader.h"
#include "driverstore/backup_rules.h"
#include "driverstore/package_folders.h"

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
    const WideText store = StoreFolderOfInf(storeInf);
    if (target.folders) destination = target.folders->Claim(destination, store, &copied);
    WideText parent = destination;
    parent.ParentPath(false);
    // Twins share their package's copy; otherwise a fresh folder beside the device's is filled
    // and put in place when whole, so a failure leaves an earlier backup there as it was.
    if (!copied && CreateFolderBelow(target.chosen, parent)) {
      copied = CopyFolderIntoPlace(store, destination, pump);
      if (target.folders) target.folders->SetCopied(destination, copied);
    }
  }
  if (copied && copiedTo) *copiedTo = destination;
  report.Line(Concat({name, copied ? kBackedUpSuffix : kNotBackedUpSuffix}));
  return copied;
}

}  // namespace pyr
