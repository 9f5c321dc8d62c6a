// The codes of the class-installer calls that the operations pass and read: state changes, the
// installation flags by which the system asks for a restart, and the answers worth telling apart.
#pragma once

#include <cstdint>

namespace pyr {

// SetupDiCallClassInstaller functions.
constexpr uint32_t kDifPropertyChange = 0x12;
constexpr uint32_t kDifSelectBestCompatDrv = 0x17;

// SP_PROPCHANGE_PARAMS.StateChange and .Scope; hardware profile 0 is the current one.
constexpr uint32_t kDicsEnable = 0x1;
constexpr uint32_t kDicsDisable = 0x2;
constexpr uint32_t kDicsPropChange = 0x3;  // stop and start again, the scope being ignored
constexpr uint32_t kDicsFlagGlobal = 0x1;  // every hardware profile: the change outlives a restart
constexpr uint32_t kDicsFlagConfigSpecific = 0x2;  // one hardware profile
constexpr uint32_t kCurrentHardwareProfile = 0;

// SP_DEVINSTALL_PARAMS.Flags and .FlagsEx that shape an element's driver list.
constexpr uint32_t kDiEnumSingleInf = 0x10000;             // DriverPath names the one INF
constexpr uint32_t kDiFlagsExAllowExcludedDrvs = 0x800;     // drivers marked ExcludeFromSelect too
constexpr uint32_t kDiFlagsExAppendDriverList = 0x40000;    // add to the list already built
constexpr uint32_t kDiFlagsExInstalledDriver = 0x4000000;   // only the driver installed now

// SetupCopyOEMInfW: fail with kErrorFileExists when the INF is in the store already.
constexpr uint32_t kSpCopyNoOverwrite = 0x8;
constexpr uint32_t kErrorFileExists = 80;
constexpr uint32_t kErrorFileNotFound = 2;
constexpr uint32_t kErrorGenFailure = 31;
constexpr uint32_t kErrorInvalidParameter = 87;
// SetupUninstallOEMInfW: a device still uses the package (setupapi.h).
constexpr uint32_t kErrorInfInUseByDevices = 0xE000023D;

// SP_DEVINSTALL_PARAMS.Flags that the system sets when a change finishes only after a restart.
constexpr uint32_t kDiNeedRestart = 0x80;
constexpr uint32_t kDiNeedReboot = 0x100;

// The driver offered ranks no better than the installed one (UpdateDriverForPlugAndPlayDevicesW
// answers the same): the one refusal worth offering to force. DiInstallDriverW is reported to
// answer it too when it staged a package that no device took.
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
