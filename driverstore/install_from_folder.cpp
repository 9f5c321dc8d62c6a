#include "driverstore/install_from_folder.h"

#include "base/file_system.h"
#include "driverstore/backup_rules.h"
#include "devices/property_keys.h"
#include "devices/property_reader.h"

namespace pyr {

bool IsInfFileName(std::u16string_view name) {
  size_t dot = name.rfind(u'.');
  if (dot == std::u16string_view::npos || dot == 0) return false;
  return WideText::EqualsNoCase(name.substr(dot), u".inf");
}

WideText InstallCountText(uint32_t count) {
  if (count == 0) return u"No drivers were";
  if (count == 1) return u"One driver was";
  return Concat({WideText::FromUInt32(count), u" drivers were"});
}

WideText InstallClosingMessage(bool cancelled, uint32_t count, const WideText& folder) {
  if (cancelled) {
    return Concat({u"The operation was cancelled. ", InstallCountText(count), u" installed from ", folder});
  }
  if (count == 0) {
    return Concat({u"The operation succeeded. ", InstallCountText(0),
                   u" found in the specified folder better than the ones currently installed."});
  }
  return Concat({u"The operation succeeded. ", InstallCountText(count), u" installed from ", folder});
}

WideText InstallProgressText(const WideText& folder) {
  return Concat({u"Installing drivers from ", folder, u"..."});
}

namespace {

// The driver every present device runs: its INF, version and date. A package that a device took
// changes one of them, whereas DiInstallDriverW's answer cannot tell: it is TRUE as well when the
// package only went into the driver store.
std::vector<WideText> DriversInUse(DevicePlatform& platform) {
  std::vector<WideText> drivers;
  const DeviceSet set = platform.GetClassDevs(nullptr, nullptr, WindowHandle{}, kDigcfAllClasses | kDigcfPresent);
  if (!set.Valid()) return drivers;
  PropertyReader reader(platform);
  DeviceInfo device;
  for (uint32_t i = 0; platform.EnumDeviceInfo(set, i, &device); ++i) {
    drivers.push_back(Concat({reader.ReadFirst(set, device, devpkey::kInstanceId), u"|",
                              reader.ReadFirst(set, device, devpkey::kDriverInfPath), u"|",
                              reader.ReadFirst(set, device, devpkey::kDriverVersion), u"|",
                              reader.ReadFirst(set, device, devpkey::kDriverDate)}));
  }
  platform.DestroyDeviceInfoList(set);
  return drivers;
}

// drivers: what the devices ran before the next offer, kept up to date.
uint32_t InstallFromFolder(DevicePlatform& platform, const WideText& folder, const InstallFlags& flags,
                           std::vector<WideText>* drivers) {
  DirectoryIterator entries;
  if (!entries.Open(Concat({folder, u"\\*"}), kSkipReparsePoints)) return 0;
  uint32_t count = 0;
  WideText path;
  do {
    if (flags.cancelRequested && flags.cancelRequested->load()) return count;
    // The installer gets the path without the long-path prefix, where such a name means another.
    if (!(UsableName(entries.Name().View()) == entries.Name())) continue;
    path.AssignConcat({folder, u"\\", entries.Name()});
    if (entries.IsDirectory()) {
      count += InstallFromFolder(platform, path, flags, drivers);
    } else if (IsInfFileName(entries.Name().View())) {
      bool reboot = false;
      // No forcing: the system installs only where the package ranks better.
      if (platform.InstallDriver(flags.owner, path.Buffer(), 0, &reboot)) {
        std::vector<WideText> now = DriversInUse(platform);
        if (now != *drivers) ++count;
        *drivers = std::move(now);
      }
      if (reboot && flags.rebootNeeded) flags.rebootNeeded->store(true);
    }
  } while (entries.Next());
  return count;
}

}  // namespace

uint32_t InstallFromOneFolder(DevicePlatform& platform, const WideText& folder, const InstallFlags& flags) {
  std::vector<WideText> drivers = DriversInUse(platform);
  return InstallFromFolder(platform, folder, flags, &drivers);
}

}  // namespace pyr
