#include "driverstore/install_from_folder.h"

#include "base/file_system.h"
#include "driverstore/backup_rules.h"

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

uint32_t InstallFromOneFolder(DevicePlatform& platform, const WideText& folder, const InstallFlags& flags) {
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
      count += InstallFromOneFolder(platform, path, flags);
    } else if (IsInfFileName(entries.Name().View())) {
      bool reboot = false;
      // No forcing: the system installs only where the package ranks better.
      if (platform.InstallDriver(WindowHandle{}, path.Buffer(), 0, &reboot)) ++count;
      if (reboot && flags.rebootNeeded) flags.rebootNeeded->store(true);
    }
  } while (entries.Next());
  return count;
}

}  // namespace pyr
