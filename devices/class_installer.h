// The codes of the class-installer calls that the operations pass and read: state changes, the
// installation flags by which the system asks for a restart, and the answers worth telling apart.
#pragma once

#include <cstdint>

namespace pyr {

// SP_PROPCHANGE_PARAMS.StateChange and .Scope.
constexpr uint32_t kDicsEnable = 0x1;
constexpr uint32_t kDicsDisable = 0x2;
constexpr uint32_t kDicsFlagGlobal = 0x1;  // every hardware profile: the change outlives a restart

// SP_DEVINSTALL_PARAMS.Flags that the system sets when a change finishes only after a restart.
constexpr uint32_t kDiNeedRestart = 0x80;
constexpr uint32_t kDiNeedReboot = 0x100;

// The driver offered ranks no better than the installed one (UpdateDriverForPlugAndPlayDevicesW
// answers the same): the one refusal worth offering to force.
constexpr uint32_t kErrorNoMoreItems = 259;
// The device is not present in the system, or gone.
constexpr uint32_t kErrorNoSuchDevInst = 0xE000020B;
// No driver of the INF (or of the store) fits the device.
constexpr uint32_t kErrorNoCompatDrivers = 0xE0000228;

// CM_WaitNoPendingInstallEvents answers.
constexpr uint32_t kWaitObject0 = 0;  // no installation pending
constexpr uint32_t kWaitTimeout = 258;
constexpr uint32_t kWaitFailed = 0xFFFFFFFF;

}  // namespace pyr
