// SimulatedPlatform, the class installer on one device: property changes (enable, disable,
// restart) that hold after a restart or wait for it, driver lists, the best driver's selection
// and its install on one device alone, and the installs a rescan starts, which end in their own
// time.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <thread>

#include "devices/device_status.h"
#include "sandbox/driver_offers.h"
#include "sandbox/simulated_platform.h"

namespace pyr {

namespace {

constexpr uint32_t kErrorNotDisableable = 0xE0000231;
constexpr uint32_t kErrorNoClassInstallParams = 0xE0000215;
constexpr uint32_t kErrorNoDriverSelected = 0xE0000203;

uint64_t PackedVersion(const WideText& version) {
  uint64_t packed = 0;
  std::vector<uint64_t> parts = VersionParts(version);
  parts.resize(4, 0);
  for (int i = 0; i < 4; ++i) packed = (packed << 16) | (parts[i] & 0xFFFF);
  return packed;
}

}  // namespace

int64_t SimulatedPlatform::NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void SimulatedPlatform::FinishPendingInstalls() {
  const int64_t now = NowMs();
  for (SimulatedDevice& d : pc_.devices) {
    if (d.uninstalled && d.installedAtMs != 0 && d.installedAtMs <= now) {
      d.uninstalled = false;
      d.installedAtMs = 0;
    }
  }
}

// --- Property changes ---

bool SimulatedPlatform::SetPropertyChangeParams(DeviceSet set, const DeviceInfo& device, uint32_t stateChange,
                                                uint32_t scope, uint32_t profile, uint32_t* error) {
  if (Count(PlatformCall::kSetPropertyChangeParams, error)) return false;
  if (!DeviceIn(set, device)) return Fail(error, kErrorNoSuchDevInst);
  Element& e = ElementOf(set, device);
  e.propertyChangeSet = true;
  e.stateChange = stateChange;
  e.scope = scope;
  e.profile = profile;
  return true;
}

bool SimulatedPlatform::ApplyPropertyChange(DeviceSet set, const DeviceInfo& device, SimulatedDevice& d,
                                            const Element& e, uint32_t* error) {
  // Not documented: the simulated PC refuses every change to a device that is not present.
  if (d.uninstalled || !d.present) return Fail(error, kErrorNoSuchDevInst);
  if (Fails(d)) return Fail(error, kErrorGenFailure);
  // Only the current hardware profile (0) is modelled for a change of one profile.
  const bool global = e.scope == kDicsFlagGlobal;
  if ((!global && e.scope != kDicsFlagConfigSpecific) || (!global && e.profile != kCurrentHardwareProfile)) {
    return Fail(error, kErrorInvalidParameter);
  }
  switch (e.stateChange) {
    case kDicsEnable:
      // A device disabled for every profile and for this one starts only when both are cleared.
      (global ? d.disabledAtBoot : d.disabledInProfile) = false;
      if (d.problem == kProblemDisabled && !d.disabledAtBoot && !d.disabledInProfile) d.problem = 0;
      break;
    case kDicsDisable:
      if (d.notDisableable) return Fail(error, kErrorNotDisableable);
      (global ? d.disabledAtBoot : d.disabledInProfile) = true;
      // A device that cannot be stopped now (its removal is vetoed) is disabled at the next boot.
      if (d.needsRestart) {
        RaiseInstallFlags(set, device, kDiNeedReboot);
      } else {
        d.problem = kProblemDisabled;
      }
      break;
    case kDicsPropChange:
      // Not documented: a disabled device is not started by a restart, and the call fails.
      if (d.problem == kProblemDisabled) return Fail(error, kErrorInvalidParameter);
      // A driver that cannot be stopped while Windows runs starts again only at the next boot.
      if (d.needsRestart || needsReboot_) {
        RaiseInstallFlags(set, device, kDiNeedReboot);
        d.problem = kProblemNeedsRestart;
        return true;
      }
      if (d.problem == kProblemNeedsRestart) d.problem = 0;
      break;
    default:
      return Fail(error, kErrorInvalidParameter);
  }
  if (needsReboot_) RaiseInstallFlags(set, device, kDiNeedReboot);
  return true;
}

bool SimulatedPlatform::CallClassInstaller(uint32_t function, DeviceSet set, const DeviceInfo& device,
                                           uint32_t* error) {
  if (Count(PlatformCall::kCallClassInstaller, error)) return false;
  SimulatedDevice* d = DeviceIn(set, device);
  if (!d || d->uninstalled) return Fail(error, kErrorNoSuchDevInst);
  Element& e = ElementOf(set, device);
  if (function == kDifPropertyChange) {
    if (!e.propertyChangeSet) return Fail(error, kErrorNoClassInstallParams);
    return ApplyPropertyChange(set, device, *d, e, error);
  }
  if (function != kDifSelectBestCompatDrv) return Fail(error, kErrorInvalidParameter);
  if (e.drivers.empty()) return Fail(error, kErrorNoCompatDrivers);
  const DriverNode* best = &e.drivers.front();
  for (const DriverNode& n : e.drivers) {
    if (&n != best && Outranks(n.inf, n.rank, best->inf, best->rank, best->installed)) best = &n;
  }
  e.selected = best;
  return true;
}

// --- Driver lists ---

bool SimulatedPlatform::GetDeviceInstallParams(DeviceSet set, const DeviceInfo& device,
                                               DeviceInstallParams* params, uint32_t* error) {
  if (Count(PlatformCall::kGetDeviceInstallParams, error)) return false;
  if (!DeviceIn(set, device)) return Fail(error, kErrorNoSuchDevInst);
  *params = ElementOf(set, device).params;
  return true;
}

bool SimulatedPlatform::SetDeviceInstallParams(DeviceSet set, const DeviceInfo& device,
                                               const DeviceInstallParams& params, uint32_t* error) {
  if (Count(PlatformCall::kSetDeviceInstallParams, error)) return false;
  if (!DeviceIn(set, device)) return Fail(error, kErrorNoSuchDevInst);
  ElementOf(set, device).params = params;
  return true;
}

// The ID the driver serves among the device's: a hardware ID ranks before every compatible ID,
// and an earlier ID in either list before a later one.
bool SimulatedPlatform::Rank(const SimulatedDevice& d, const InfFacts& inf, uint32_t* rank) const {
  constexpr uint32_t kCompatibleIdScore = 0x1000;
  bool found = false;
  const auto match = [&](const std::vector<WideText>& ids, uint32_t base) {
    for (uint32_t i = 0; i < ids.size(); ++i) {
      for (const WideText& offered : inf.hardwareIds) {
        if (IdMatches(offered.View(), ids[i].View()) && (!found || base + i < *rank)) {
          *rank = base + i;
          found = true;
        }
      }
    }
  };
  match(d.hardwareIds, 0);
  match(d.compatibleIds, kCompatibleIdScore);
  return found;
}

std::vector<SimulatedPlatform::DriverNode> SimulatedPlatform::DriversFor(const SimulatedDevice& d,
                                                                         const Element& e) {
  std::vector<DriverNode> found;
  // The driver the device runs, as the system describes it; its rank is that of its package.
  DriverNode installed;
  installed.installed = true;
  installed.inf.driverVer = DriverVerText(d.driverDate, d.driverVersion);
  installed.inf.provider = d.manufacturer;
  installed.inf.className = d.className;
  const DriverPackage* own = PackageForInf(d.infPath.View());
  installed.inf.hardwareIds = own ? own->hardwareIds : d.hardwareIds;
  installed.published = own ? own->publishedName : WideText();
  installed.original = own ? own->originalName : d.infPath;
  const bool hasDriver = !d.infPath.Empty() && Rank(d, installed.inf, &installed.rank);

  const auto offer = [&](const InfFacts& inf, const WideText& published, const WideText& original) {
    DriverNode n;
    n.inf = inf;
    n.published = published;
    n.original = original;
    n.installed = hasDriver && !published.Empty() && published == installed.published;
    const bool allowed = !inf.excludeFromSelect || (e.params.flagsEx & kDiFlagsExAllowExcludedDrvs);
    if (allowed && Rank(d, inf, &n.rank)) found.push_back(std::move(n));
  };
  if (e.params.flagsEx & kDiFlagsExInstalledDriver) {
    if (hasDriver) found.push_back(installed);
  } else if (e.params.flags & kDiEnumSingleInf) {
    // Not documented: an INF that cannot be read offers no driver (the list is built empty).
    const WideText& path = e.params.driverPath;
    InfFacts inf;
    if (const DriverPackage* p = PackageForInf(path.View())) {
      offer(FactsOf(*p), p->publishedName, p->originalName);
    } else if (ReadInf(path.View(), &inf)) {
      offer(inf, WideText(), WideText(FileNameOf(path.View())));
    }
  } else {
    // The whole INF folder: every package of the store, and the system's own INF the device runs.
    for (const DriverPackage& p : pc_.driverStore) offer(FactsOf(p), p.publishedName, p.originalName);
    if (hasDriver && !own) found.push_back(installed);
  }
  for (DriverNode& n : found) n.id = nextDriverId_++;
  return found;
}

bool SimulatedPlatform::BuildDriverInfoList(DeviceSet set, const DeviceInfo& device, uint32_t* error) {
  if (Count(PlatformCall::kBuildDriverInfoList, error)) return false;
  SimulatedDevice* d = DeviceIn(set, device);
  if (!d || d->uninstalled) return Fail(error, kErrorNoSuchDevInst);
  Element& e = ElementOf(set, device);
  std::vector<DriverNode> found = DriversFor(*d, e);
  if (!(e.params.flagsEx & kDiFlagsExAppendDriverList)) e.drivers.clear();
  // The selection points into the list, which may move: a new list is selected from again.
  e.selected = nullptr;
  e.drivers.insert(e.drivers.end(), found.begin(), found.end());
  return true;
}

bool SimulatedPlatform::DestroyDriverInfoList(DeviceSet set, const DeviceInfo& device, uint32_t* error) {
  if (Count(PlatformCall::kDestroyDriverInfoList, error)) return false;
  if (!DeviceIn(set, device)) return Fail(error, kErrorNoSuchDevInst);
  Element& e = ElementOf(set, device);
  e.drivers.clear();
  e.selected = nullptr;
  return true;
}

bool SimulatedPlatform::GetSelectedDriver(DeviceSet set, const DeviceInfo& device, DriverInfo* driver,
                                          uint32_t* error) {
  if (Count(PlatformCall::kGetSelectedDriver, error)) return false;
  if (!DeviceIn(set, device)) return Fail(error, kErrorNoSuchDevInst);
  const Element& e = ElementOf(set, device);
  if (!e.selected) return Fail(error, kErrorNoDriverSelected);
  const DriverNode& n = *e.selected;
  const DriverVer ver = ParseDriverVer(n.inf.driverVer);
  *driver = DriverInfo();
  driver->driverType = 2;  // SPDIT_COMPATDRIVER
  driver->description = n.original;
  driver->manufacturer = n.inf.provider;
  driver->provider = n.inf.provider;
  driver->date = ver.date;
  driver->version = PackedVersion(ver.version);
  driver->reserved = n.id;
  return true;
}

// --- Installs ---

bool SimulatedPlatform::InstallDevice(WindowHandle parent, DeviceSet set, const DeviceInfo& device,
                                      const DriverInfo& driver, uint32_t, bool* needsReboot, uint32_t* error) {
  if (needsReboot) *needsReboot = false;
  if (Count(PlatformCall::kInstallDevice, error)) return false;
  lastInstallParent_ = parent;
  SimulatedDevice* d = DeviceIn(set, device);
  // DiInstallDevice installs on a device that is present in the system.
  if (!d || d->uninstalled || !d->present) return Fail(error, kErrorNoSuchDevInst);
  if (Fails(*d)) return Fail(error, kErrorGenFailure);
  const Element& e = ElementOf(set, device);
  const auto node = std::find_if(e.drivers.begin(), e.drivers.end(),
                                 [&](const DriverNode& n) { return n.id == driver.reserved; });
  if (node == e.drivers.end()) return Fail(error, kErrorInvalidParameter);
  // Only a driver the store holds (or the system's own INF the device runs) can be installed;
  // the error for one that is elsewhere is not documented.
  if (!node->published.Empty()) {
    const DriverPackage* p = PackageForInf(node->published.View());
    if (!p) return Fail(error, kErrorFileNotFound);
    InstallPackage(d, *p);
  } else if (!node->installed) {
    return Fail(error, kErrorInvalidParameter);
  }
  if (needsReboot) *needsReboot = needsReboot_ || d->needsRestart;
  return true;
}

uint32_t SimulatedPlatform::WaitNoPendingInstallEvents(uint32_t timeoutMs) {
  if (Count(PlatformCall::kWaitNoPendingInstallEvents)) return kWaitFailed;
  FinishPendingInstalls();
  int64_t last = 0;
  for (const SimulatedDevice& d : pc_.devices) {
    if (d.uninstalled && d.installedAtMs != 0) last = std::max(last, d.installedAtMs);
  }
  if (last == 0) return kWaitObject0;
  const int64_t left = last - NowMs();
  // An install that never ends is known to outlast any wait: no need to sit it out.
  if (last == INT64_MAX || left > int64_t{timeoutMs}) {
    if (last != INT64_MAX) std::this_thread::sleep_for(std::chrono::milliseconds(timeoutMs));
    return kWaitTimeout;
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(left));
  FinishPendingInstalls();
  return kWaitObject0;
}

void SimulatedPlatform::Reboot() {
  for (SimulatedDevice& d : pc_.devices) {
    if (d.uninstalled && d.installedAtMs != 0) d.installedAtMs = 1;  // long over
    if (d.disabledAtBoot || d.disabledInProfile) {
      d.problem = kProblemDisabled;
    } else if (d.problem == kProblemDisabled || d.problem == kProblemNeedsRestart) {
      d.problem = 0;
    }
  }
  FinishPendingInstalls();
  for (auto& [key, element] : elements_) element.params.flags = 0;
}

}  // namespace pyr
