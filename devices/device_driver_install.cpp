#include "devices/device_driver_install.h"

#include "devices/class_installer.h"

namespace pyr {

namespace {

struct Failure {
  uint32_t* error;
  DriverInstallOutcome operator()(uint32_t code) const {
    if (error) *error = code;
    return DriverInstallOutcome::kFailed;
  }
};

enum class ListSource { kInf, kInstalledAppended };

// The element's compatible drivers from one INF (inf), from the whole store (inf null), or the
// installed driver added to the list already built; then the one the class installer prefers.
// Drivers marked ExcludeFromSelect are listed too: the pages disagree on whether the mark hides
// the drivers of Plug and Play devices from this list, and display drivers must carry it.
bool SelectBest(DevicePlatform& platform, DeviceSet set, const DeviceInfo& device, const char16_t* inf,
                ListSource source, DriverInfo* best, uint32_t* error) {
  DeviceInstallParams params;
  if (!platform.GetDeviceInstallParams(set, device, &params, error)) return false;
  params.flags &= ~kDiEnumSingleInf;
  params.flagsEx &= ~(kDiFlagsExInstalledDriver | kDiFlagsExAppendDriverList);
  params.flagsEx |= kDiFlagsExAllowExcludedDrvs;
  params.driverPath.Clear();
  if (source == ListSource::kInstalledAppended) {
    params.flagsEx |= kDiFlagsExInstalledDriver | kDiFlagsExAppendDriverList;
  } else if (inf) {
    params.flags |= kDiEnumSingleInf;
    params.driverPath = WideText(inf);
  }
  return platform.SetDeviceInstallParams(set, device, params, error) &&
         platform.BuildDriverInfoList(set, device, error) &&
         platform.CallClassInstaller(kDifSelectBestCompatDrv, set, device, error) &&
         platform.GetSelectedDriver(set, device, best, error);
}

// A fresh list: the element keeps what an earlier search built on it. No list to destroy is no
// fault, and an element that cannot take a list fails the build that follows.
void StartNewList(DevicePlatform& platform, DeviceSet set, const DeviceInfo& device) {
  uint32_t ignored = 0;
  platform.DestroyDriverInfoList(set, device, &ignored);
}

}  // namespace

WideText FileNameOfPath(const WideText& path) {
  const size_t slash = path.View().find_last_of(u"\\/");
  return slash == std::u16string_view::npos ? path : WideText(path.View().substr(slash + 1));
}

DriverInstallOutcome InstallDeviceDriver(DevicePlatform& platform, DeviceSet set, const DeviceInfo& device,
                                         const DriverInstallRequest& request, bool* needsReboot,
                                         uint32_t* error) {
  if (needsReboot) *needsReboot = false;
  const Failure fail{error};
  uint32_t code = 0;
  DriverInfo offer;
  StartNewList(platform, set, device);
  if (!SelectBest(platform, set, device, request.inf, ListSource::kInf, &offer, &code)) return fail(code);
  if (!request.force) {
    // With the installed driver in the list, a class installer that still prefers the offer
    // finds it better. A check that cannot be made installs nothing.
    DriverInfo best;
    if (!SelectBest(platform, set, device, nullptr, ListSource::kInstalledAppended, &best, &code)) {
      return fail(code);
    }
    if (!best.SameDriver(offer)) {
      if (error) *error = kErrorNoMoreItems;
      return DriverInstallOutcome::kNotBetter;
    }
  }
  // DiInstallDevice installs only what the driver store holds: the chosen INF is staged now, and
  // the driver is picked again from its copy there.
  WideText published;
  bool stagedNow = false;
  DriverInfo driver = offer;
  if (request.inf) {
    if (platform.CopyOemInf(request.inf, kSpCopyNoOverwrite, &published, &code)) {
      stagedNow = true;
    } else if (code != kErrorFileExists || published.Empty()) {
      return fail(code);
    }
    StartNewList(platform, set, device);
    if (!SelectBest(platform, set, device, published.Buffer(), ListSource::kInf, &driver, &code)) {
      return fail(code);
    }
  }
  bool reboot = false;
  if (!platform.InstallDevice(request.parent, set, device, driver, 0, &reboot, &code)) {
    // A package that came in for this install alone goes again; Windows keeps it when a device
    // was installed from it meanwhile, and a package left behind only offers itself again.
    uint32_t ignored = 0;
    if (stagedNow) platform.UninstallOemInf(FileNameOfPath(published).Buffer(), 0, &ignored);
    return fail(code);
  }
  if (needsReboot) *needsReboot = reboot;
  return DriverInstallOutcome::kInstalled;
}

}  // namespace pyr
