// SimulatedPlatform, the calls through the class installer on one device: state changes that
// hold after a restart or wait for it, installs on one device alone, and the installs a rescan
// starts, which end in their own time.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <thread>

#include "devices/device_status.h"
#include "sandbox/driver_offers.h"
#include "sandbox/simulated_platform.h"

namespace pyr {

namespace {

constexpr uint32_t kErrorFileNotFound = 2;
constexpr uint32_t kErrorGenFailure = 31;

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

bool SimulatedPlatform::ChangeDeviceState(DeviceSet set, const DeviceInfo& device,
                                          uint32_t stateChange, uint32_t scope, uint32_t* error) {
  Count(PlatformCall::kChangeDeviceState);
  constexpr uint32_t kErrorInvalidParameter = 87;
  constexpr uint32_t kErrorNotDisableable = 0xE0000231;
  SimulatedDevice* d = DeviceIn(set, device);
  uint32_t code = 0;
  if (!d || d->uninstalled || !d->present) {
    code = kErrorNoSuchDevInst;
  } else if (Fails(*d)) {
    code = kErrorGenFailure;
  } else if (scope != kDicsFlagGlobal || (stateChange != kDicsEnable && stateChange != kDicsDisable)) {
    code = kErrorInvalidParameter;  // only global enables and disables are modelled
  } else if (stateChange == kDicsDisable && d->notDisableable) {
    code = kErrorNotDisableable;
  }
  if (code != 0) {
    if (error) *error = code;
    return false;
  }
  // Through the class installer the change is kept for every later boot (CONFIGFLAG_DISABLED).
  d->disabledAtBoot = stateChange == kDicsDisable;
  if (stateChange == kDicsEnable) {
    if (d->problem == kProblemDisabled) d->problem = 0;
  } else if (d->needsRestart) {
    // A device that cannot be stopped now (its removal is vetoed) is disabled at the next boot:
    // the call succeeds and asks for a restart.
    RaiseInstallFlags(set, device, kDiNeedReboot);
  } else {
    d->problem = kProblemDisabled;
  }
  if (needsReboot_) RaiseInstallFlags(set, device, kDiNeedReboot);
  return true;
}

bool SimulatedPlatform::GetDeviceInstallFlags(DeviceSet set, const DeviceInfo& device,
                                              uint32_t* flags) {
  Count(PlatformCall::kGetDeviceInstallFlags);
  if (!DeviceIn(set, device)) return false;
  auto it = installFlags_.find({set.value, device.devInst});
  *flags = it == installFlags_.end() ? 0 : it->second;
  return true;
}

bool SimulatedPlatform::InstallDeviceDriver(WindowHandle parent, DeviceSet set,
                                            const DeviceInfo& device, const char16_t* infPath,
                                            uint32_t flags, bool* needsReboot, uint32_t* error) {
  Count(PlatformCall::kInstallDeviceDriver);
  lastInstallParent_ = parent;
  if (needsReboot) *needsReboot = false;
  auto fail = [error](uint32_t code) {
    if (error) *error = code;
    return false;
  };
  SimulatedDevice* d = DeviceIn(set, device);
  // DiInstallDevice installs on a device that is present in the system.
  if (!d || d->uninstalled || !d->present) return fail(kErrorNoSuchDevInst);
  if (Fails(*d)) return fail(kErrorGenFailure);
  const auto fits = [&](const std::vector<WideText>& ids) {
    return std::any_of(ids.begin(), ids.end(), [&](const WideText& id) {
      return std::any_of(d->hardwareIds.begin(), d->hardwareIds.end(),
                         [&](const WideText& own) { return IdMatches(id.View(), own.View()); });
    });
  };
  // The compatible drivers: the INF's alone when one is given (a file on disk, or a package of
  // the store by its published name), else the newest fitting package of the store.
  InfFacts inf;
  const bool onDisk = infPath && ReadInf(infPath, &inf);
  const DriverPackage* stored = nullptr;
  if (infPath && !onDisk) {
    stored = PackageForInf(infPath);
    if (!stored) return fail(kErrorFileNotFound);
  } else if (!infPath) {
    for (const DriverPackage& p : pc_.driverStore) {
      if (fits(p.hardwareIds) && (!stored || ParseDriverVer(p.driverVer).date > ParseDriverVer(stored->driverVer).date)) {
        stored = &p;
      }
    }
  }
  if (onDisk ? !fits(inf.hardwareIds) : (stored && !fits(stored->hardwareIds))) return fail(kErrorNoCompatDrivers);
  // Without a package of its own the device keeps the system's driver it has (reinstalled in place).
  if (!onDisk && !stored && d->infPath.Empty()) return fail(kErrorNoCompatDrivers);
  if (onDisk || stored) {
    const DriverVer offered = ParseDriverVer(onDisk ? inf.driverVer : stored->driverVer);
    if (!(flags & kInstallFlagForce) && !Betters(offered, *d)) return fail(kErrorNoMoreItems);
    if (onDisk) stored = StageInf(infPath, inf);
    if (!stored) return fail(kErrorFileNotFound);
    InstallPackage(d, *stored);
  }
  if (needsReboot) *needsReboot = needsReboot_ || d->needsRestart;
  return true;
}

uint32_t SimulatedPlatform::WaitNoPendingInstallEvents(uint32_t timeoutMs) {
  Count(PlatformCall::kWaitNoPendingInstallEvents);
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
    if (d.disabledAtBoot) {
      d.problem = kProblemDisabled;
    } else if (d.problem == kProblemDisabled || d.problem == kProblemNeedsRestart) {
      d.problem = 0;
    }
  }
  FinishPendingInstalls();
  installFlags_.clear();
}

}  // namespace pyr
