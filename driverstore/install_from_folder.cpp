#include "driverstore/install_from_folder.h"

#include "base/file_system.h"
#include "driverstore/backup_rules.h"
#include "devices/property_keys.h"
#include "devices/property_reader.h"
#include "devices/class_installer.h"

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

WideText InstallFailedLine(const WideText& inf) {
  return Concat({inf, u" could not be installed."});
}

namespace {

// The refused packages: the first few by name, the rest only counted, so that the box stays on
// the screen.
WideText NotInstalledList(const std::vector<WideText>& failed) {
  constexpr size_t kNamed = 5;
  WideText text(u"Not installed:");
  for (size_t i = 0; i < failed.size() && i < kNamed; ++i) text.Append({u"\r\n", failed[i]});
  if (failed.size() > kNamed) text.Append({u"\r\n... and ", WideText::FromUInt64(failed.size() - kNamed), u" more"});
  return text;
}

}  // namespace

WideText InstallClosingMessage(bool cancelled, uint32_t count, const WideText& folder,
                               const std::vector<WideText>& failed) {
  if (!failed.empty()) {
    return Concat({failed.size() == 1 ? u"One driver package" : u"Some driver packages",
                   u" could not be installed. ", InstallCountText(count), u" installed from ", folder,
                   cancelled ? u" before the operation was cancelled." : u".", u"\r\n\r\n",
                   NotInstalledList(failed)});
  }
  if (cancelled) {
    return Concat({u"The operation was cancelled. ", InstallCountText(count), u" installed from ", folder});
  }
  if (count == 0) {
    return Concat({u"The operation succeeded. ", InstallCountText(0),
                   u" found in the specified folder better than the ones currently installed."});
  }
  return Concat({u"The operation succeeded. ", InstallCountText(count), u" installed from ", folder});
}

WideText PutBackClosingMessage(bool cancelled, uint32_t staged, const WideText& folder,
                               const std::vector<WideText>& failed) {
  const WideText count = staged == 1 ? WideText(u"One driver package was")
                                     : Concat({WideText::FromUInt32(staged), u" driver packages were"});
  WideText text = Concat({count, u" put back into the driver store from ", folder, u"."});
  if (cancelled) text.Append(u" The operation was cancelled.");
  if (staged != 0 && !cancelled) {
    text.Append(u" The hardware was scanned for changes, so that connected devices take them again.");
  }
  if (!failed.empty()) text.Append({u"\r\n\r\n", NotInstalledList(failed)});
  return text;
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
void InstallFromFolder(DevicePlatform& platform, const WideText& folder, const InstallFlags& flags,
                       std::vector<WideText>* drivers, InstallOutcome* outcome) {
  DirectoryIterator entries;
  if (!entries.Open(Concat({folder, u"\\*"}), kSkipReparsePoints)) return;
  WideText path;
  do {
    if (flags.cancelRequested && flags.cancelRequested->load()) return;
    // The installer gets the path without the long-path prefix, where such a name means another.
    if (!(UsableName(entries.Name().View()) == entries.Name())) continue;
    path.AssignConcat({folder, u"\\", entries.Name()});
    if (entries.IsDirectory()) {
      InstallFromFolder(platform, path, flags, drivers, outcome);
    } else if (IsInfFileName(entries.Name().View())) {
      bool reboot = false;
      uint32_t error = 0;
      // No forcing: the system installs only where the package ranks better.
      if (platform.InstallDriver(flags.owner, path.Buffer(), 0, &reboot, &error)) {
        ++outcome->staged;
        std::vector<WideText> now = DriversInUse(platform);
        if (now != *drivers) ++outcome->installed;
        *drivers = std::move(now);
      } else if (error == kErrorNoMoreItems) {
        ++outcome->staged;
      } else {
        outcome->failed.push_back(path);
      }
      if (reboot && flags.rebootNeeded) flags.rebootNeeded->store(true);
    }
  } while (entries.Next());
}

}  // namespace

InstallOutcome InstallFromOneFolder(DevicePlatform& platform, const WideText& folder, const InstallFlags& flags) {
  std::vector<WideText> drivers = DriversInUse(platform);
  InstallOutcome outcome;
  InstallFromFolder(platform, folder, flags, &drivers, &outcome);
  return outcome;
}

}  // namespace pyr
