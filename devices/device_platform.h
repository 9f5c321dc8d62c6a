// DevicePlatform: the one seam to the system's device-installation functions (SetupAPI, the
// configuration manager, newdev). Each call mirrors one system call: it passes what that call
// passes and returns what it returns. It decides nothing; every decision is made above it.
//
// Implementations: devices/win32/setupapi_platform (the product) and SimulatedPlatform (a PC
// described by a JSON fixture, for tests, benchmarks and the sandbox build).
#pragma once

#include <cstdint>
#include <vector>

#include "base/wide_text.h"
#include "devices/class_installer.h"
#include "devices/guid.h"

namespace pyr {

// Configuration-manager result codes (CONFIGRET).
using ConfigRet = uint32_t;
constexpr ConfigRet kCrSuccess = 0x00;
constexpr ConfigRet kCrInvalidDevNode = 0x05;
constexpr ConfigRet kCrNoSuchDevNode = 0x0D;
constexpr ConfigRet kCrFailure = 0x13;

// SetupDiGetClassDevsW flags.
constexpr uint32_t kDigcfPresent = 0x2;
constexpr uint32_t kDigcfAllClasses = 0x4;
// CM_Reenumerate_DevNode flags.
constexpr uint32_t kCmReenumerateNormal = 0x0;
constexpr uint32_t kCmReenumerateRetryInstallation = 0x2;
// InstallDeviceDriver: install even a driver that ranks no better than the installed one.
constexpr uint32_t kInstallFlagForce = 0x1;
// CM_Locate_DevNodeW: also find a device that is not present (phantom).
constexpr uint32_t kCmLocateDevNodePhantom = 0x1;
constexpr uint32_t kErrorInsufficientBuffer = 122;
constexpr uint32_t kErrorNotFound = 1168;
// SetupGetInfFileListW styles and SetupGetInfInformationW search controls.
constexpr uint32_t kInfStyleWin4 = 0x2;
constexpr uint32_t kInfInfoDefaultSearch = 3;

// Opaque handles: the platform's own values, carried but never interpreted by the caller.
struct WindowHandle {
  uintptr_t value = 0;
};
struct DeviceSet {
  uintptr_t value = 0;
  bool Valid() const { return value != 0 && value != ~uintptr_t{0}; }
};
// SP_CLASSIMAGELIST_DATA: the image list goes to the list control, the whole to destroy it.
struct ImageListHandle {
  uintptr_t value = 0;
  bool Valid() const { return value != 0; }
};
struct ClassImageList {
  ImageListHandle imageList;
  uintptr_t reserved = 0;
  bool Valid() const { return imageList.Valid(); }
};
// SP_DEVINFO_DATA: one device of a set, valid while the set lives.
struct DeviceInfo {
  uint32_t index = 0;    // position in the set (SetupDiEnumDeviceInfo)
  Guid classGuid;        // as the set reports it; GUID_NULL for devices without a class
  uint32_t devInst = 0;  // configuration-manager device instance handle
  uintptr_t reserved = 0;
};
using DevInst = uint32_t;

// SP_INF_INFORMATION as the system filled it: carried whole to the query calls, never read.
struct InfInformation {
  std::vector<uint8_t> bytes;
};

// SP_DEVINSTALL_PARAMS_W: the members the program reads or changes; the others are kept as the
// system had them.
struct DeviceInstallParams {
  uint32_t flags = 0;    // DI_*
  uint32_t flagsEx = 0;  // DI_FLAGSEX_*
  WideText driverPath;   // with DI_ENUMSINGLEINF: the one INF whose drivers are listed
};

// SP_DRVINFO_DATA_W: one driver of an element's driver list, as the system describes it;
// reserved names the driver node to the system.
struct DriverInfo {
  uint32_t driverType = 0;
  WideText description, manufacturer, provider;
  uint64_t date = 0;     // FILETIME
  uint64_t version = 0;  // four 16-bit parts, most significant first
  uintptr_t reserved = 0;
  bool SameDriver(const DriverInfo& other) const {
    return driverType == other.driverType && description == other.description &&
           manufacturer == other.manufacturer && provider == other.provider && date == other.date &&
           version == other.version;
  }
};

class DevicePlatform {
 public:
  virtual ~DevicePlatform() = default;

  // --- Setup classes ---
  // SetupDiBuildClassInfoList(flags, buffer, size, required): every setup class GUID. With
  // bufferCount too small (0 for the count query) it returns false and sets *requiredCount.
  virtual bool BuildClassInfoList(uint32_t flags, Guid* buffer, uint32_t bufferCount,
                                  uint32_t* requiredCount) = 0;
  // SetupDiClassNameFromGuidW with a 1024-character buffer; *name stays empty on failure.
  virtual bool ClassNameFromGuid(const Guid& classGuid, WideText* name) = 0;
  // SetupDiGetClassDescriptionW with a 1024-character buffer; *text stays empty on failure.
  virtual bool GetClassDescription(const Guid& classGuid, WideText* text) = 0;
  // SetupDiGetClassImageList.
  virtual bool GetClassImageList(ClassImageList* list) = 0;
  // SetupDiGetClassImageIndex: the class's icon in that list (unknown classes get the
  // "Unknown" icon on a real system).
  virtual bool GetClassImageIndex(const ClassImageList& list, const Guid& classGuid,
                                  int32_t* index) = 0;
  // SetupDiDestroyClassImageList.
  virtual bool DestroyClassImageList(const ClassImageList& list) = 0;

  // --- Device information sets ---
  // SetupDiGetClassDevsW(classGuid or null, enumerator or null, parent, flags); an invalid set
  // on failure.
  virtual DeviceSet GetClassDevs(const Guid* classGuid, const char16_t* enumerator,
                                 WindowHandle parent, uint32_t flags) = 0;
  // SetupDiEnumDeviceInfo: false past the end (error kErrorNoMoreItems) or on a failure.
  virtual bool EnumDeviceInfo(DeviceSet set, uint32_t index, DeviceInfo* device,
                              uint32_t* error = nullptr) = 0;
  // SetupDiDestroyDeviceInfoList.
  virtual bool DestroyDeviceInfoList(DeviceSet set) = 0;
  // SetupDiGetDevicePropertyW(set, device, key, &type, buffer, bufferSize, &requiredSize, 0).
  // False when absent (*requiredSize 0, error kErrorNotFound) or when the buffer is too small
  // (*requiredSize = needed bytes, error kErrorInsufficientBuffer); buffer may be null with
  // bufferSize 0 for the size query. *error gets the system's last error on failure.
  virtual bool GetDeviceProperty(DeviceSet set, const DeviceInfo& device, const DevPropKey& key,
                                 uint32_t* type, uint8_t* buffer, uint32_t bufferSize,
                                 uint32_t* requiredSize, uint32_t* error) = 0;

  // --- Device state ---
  // CM_Locate_DevNodeW(&root, deviceId or null for the root, flags).
  virtual ConfigRet LocateDevNode(DevInst* devInst, const char16_t* deviceId, uint32_t flags) = 0;
  // CM_Reenumerate_DevNode.
  virtual ConfigRet ReenumerateDevNode(DevInst devInst, uint32_t flags) = 0;
  // DiUninstallDevice.
  virtual bool UninstallDevice(WindowHandle parent, DeviceSet set, const DeviceInfo& device,
                               uint32_t flags, bool* needsReboot, uint32_t* error) = 0;
  // CM_WaitNoPendingInstallEvents(timeoutMs): kWaitObject0, kWaitTimeout or kWaitFailed.
  virtual uint32_t WaitNoPendingInstallEvents(uint32_t timeoutMs) = 0;

  // --- Drivers ---
  // DiShowUpdateDevice: the system's update wizard.
  virtual bool ShowUpdateDevice(WindowHandle parent, DeviceSet set, const DeviceInfo& device,
                                uint32_t flags, bool* needsReboot, uint32_t* error) = 0;
  // DiInstallDriverW; the parent owns the system's prompts (publisher, unsigned driver).
  virtual bool InstallDriver(WindowHandle parent, const char16_t* infPath, uint32_t flags,
                             bool* needsReboot, uint32_t* error) = 0;
  // SetupGetInfDriverStoreLocationW(published INF name, no platform, no locale, 1024 chars).
  virtual bool GetInfDriverStoreLocation(const char16_t* infName, WideText* path) = 0;
  // SetupCopyOEMInfW(source, no media location, SPOST_PATH, copyStyle, 1024 chars): stages the
  // package in the driver store; *publishedInf gets its INF in the system's INF folder, also when
  // the call fails with kErrorFileExists under kSpCopyNoOverwrite (the package was there before).
  virtual bool CopyOemInf(const char16_t* sourceInf, uint32_t copyStyle, WideText* publishedInf,
                          uint32_t* error) = 0;

  // --- The driver store's packages ---
  // SetupGetInfFileListW(directory or null for the system's INF folder, style, buffer, size,
  // &required) with the two-call size idiom: the INF file names found there.
  virtual bool GetInfFileList(const char16_t* directory, uint32_t infStyle,
                              std::vector<WideText>* names, uint32_t* error) = 0;
  // SetupGetInfInformationW(name, searchControl, buffer, size, &required) with the two-call size
  // idiom.
  virtual bool GetInfInformation(const char16_t* infName, uint32_t searchControl,
                                 InfInformation* info, uint32_t* error) = 0;
  // SetupQueryInfVersionInformationW(info, index, key, buffer, size, &required) with the
  // two-call size idiom: one value of the INF's [Version] section.
  virtual bool QueryInfVersionInformation(const InfInformation& info, uint32_t infIndex,
                                          const char16_t* key, WideText* value, uint32_t* error) = 0;
  // SetupQueryInfOriginalFileInformationW(info, index, no alternate platform, &SP_ORIGINAL_FILE_INFO_W):
  // the INF's name before it was published, and its catalog's.
  virtual bool QueryInfOriginalFileInformation(const InfInformation& info, uint32_t infIndex,
                                               WideText* originalInf, WideText* originalCatalog,
                                               uint32_t* error) = 0;

  // --- Driver package removal ---
  // SetupUninstallOEMInfW(published name such as oem12.inf, flags, no reserved): removes the
  // package from the store; false when the system keeps it.
  virtual bool UninstallOemInf(const char16_t* infName, uint32_t flags, uint32_t* error) = 0;

  // --- Conversions only the system can do (property reader) ---
  // ConvertSecurityDescriptorToStringSecurityDescriptorW(SDDL_REVISION_1,
  // BACKUP_SECURITY_INFORMATION); false on failure.
  virtual bool SecurityDescriptorToSddl(const uint8_t* bytes, uint32_t size, WideText* sddl) = 0;
  // SHLoadIndirectString into a 4096-character buffer.
  virtual bool LoadIndirectString(const char16_t* source, WideText* text) = 0;

  // --- The class installer and its driver lists, on one device (codes in class_installer.h) ---
  // SetupDiSetClassInstallParamsW(SP_PROPCHANGE_PARAMS{DIF_PROPERTYCHANGE, stateChange, scope,
  // hardware profile}).
  virtual bool SetPropertyChangeParams(DeviceSet set, const DeviceInfo& device, uint32_t stateChange,
                                       uint32_t scope, uint32_t profile, uint32_t* error) = 0;
  // SetupDiCallClassInstaller(function, set, device): the device's class installer and
  // co-installers take part.
  virtual bool CallClassInstaller(uint32_t function, DeviceSet set, const DeviceInfo& device,
                                  uint32_t* error) = 0;
  // SetupDiGetDeviceInstallParamsW / SetupDiSetDeviceInstallParamsW of the element.
  virtual bool GetDeviceInstallParams(DeviceSet set, const DeviceInfo& device,
                                      DeviceInstallParams* params, uint32_t* error) = 0;
  virtual bool SetDeviceInstallParams(DeviceSet set, const DeviceInfo& device,
                                      const DeviceInstallParams& params, uint32_t* error) = 0;
  // SetupDiBuildDriverInfoList / SetupDiDestroyDriverInfoList(set, device, SPDIT_COMPATDRIVER).
  virtual bool BuildDriverInfoList(DeviceSet set, const DeviceInfo& device, uint32_t* error) = 0;
  virtual bool DestroyDriverInfoList(DeviceSet set, const DeviceInfo& device, uint32_t* error) = 0;
  // SetupDiGetSelectedDriverW of the element.
  virtual bool GetSelectedDriver(DeviceSet set, const DeviceInfo& device, DriverInfo* driver,
                                 uint32_t* error) = 0;
  // DiInstallDevice(parent, set, device, driver, flags, &reboot): installs a driver of the driver
  // store on this one device.
  virtual bool InstallDevice(WindowHandle parent, DeviceSet set, const DeviceInfo& device,
                             const DriverInfo& driver, uint32_t flags, bool* needsReboot,
                             uint32_t* error) = 0;
};

}  // namespace pyr
