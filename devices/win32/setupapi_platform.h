// SetupApiPlatform: the device platform on the real system (SetupAPI, the configuration manager
// and newdev). Where the system does not know a property key, as compatibility layers often do
// not, the value is read through the older call that holds the same fact and handed out in the
// form the unified call would have used.
#pragma once

#include "devices/device_platform.h"

namespace pyr {

class SetupApiPlatform : public DevicePlatform {
 public:
  SetupApiPlatform();
  ~SetupApiPlatform() override;
  SetupApiPlatform(const SetupApiPlatform&) = delete;
  SetupApiPlatform& operator=(const SetupApiPlatform&) = delete;

  bool BuildClassInfoList(uint32_t flags, Guid* buffer, uint32_t bufferCount,
                          uint32_t* requiredCount) override;
  bool ClassNameFromGuid(const Guid& classGuid, WideText* name) override;
  bool GetClassDescription(const Guid& classGuid, WideText* text) override;
  bool GetClassImageList(ClassImageList* list) override;
  bool GetClassImageIndex(const ClassImageList& list, const Guid& classGuid,
                          int32_t* index) override;
  bool DestroyClassImageList(const ClassImageList& list) override;
  DeviceSet GetClassDevs(const Guid* classGuid, const char16_t* enumerator, WindowHandle parent,
                         uint32_t flags) override;
  bool EnumDeviceInfo(DeviceSet set, uint32_t index, DeviceInfo* device,
                      uint32_t* error = nullptr) override;
  bool DestroyDeviceInfoList(DeviceSet set) override;
  bool GetDeviceProperty(DeviceSet set, const DeviceInfo& device, const DevPropKey& key,
                         uint32_t* type, uint8_t* buffer, uint32_t bufferSize,
                         uint32_t* requiredSize, uint32_t* error) override;
  ConfigRet LocateDevNode(DevInst* devInst, const char16_t* deviceId, uint32_t flags) override;
  ConfigRet ReenumerateDevNode(DevInst devInst, uint32_t flags) override;
  bool UninstallDevice(WindowHandle parent, DeviceSet set, const DeviceInfo& device,
                       uint32_t flags, bool* needsReboot, uint32_t* error) override;
  uint32_t WaitNoPendingInstallEvents(uint32_t timeoutMs) override;
  bool ShowUpdateDevice(WindowHandle parent, DeviceSet set, const DeviceInfo& device,
                        uint32_t flags, bool* needsReboot, uint32_t* error) override;
  bool InstallDriver(WindowHandle parent, const char16_t* infPath, uint32_t flags,
                     bool* needsReboot, uint32_t* error) override;
  bool GetInfDriverStoreLocation(const char16_t* infName, WideText* path) override;
  bool CopyOemInf(const char16_t* sourceInf, uint32_t copyStyle, WideText* publishedInf,
                  uint32_t* error) override;
  bool GetInfFileList(const char16_t* directory, uint32_t infStyle, std::vector<WideText>* names,
                      uint32_t* error) override;
  bool GetInfInformation(const char16_t* infName, uint32_t searchControl, InfInformation* info,
                         uint32_t* error) override;
  bool QueryInfVersionInformation(const InfInformation& info, uint32_t infIndex, const char16_t* key,
                                  WideText* value, uint32_t* error) override;
  bool QueryInfOriginalFileInformation(const InfInformation& info, uint32_t infIndex,
                                       WideText* originalInf, WideText* originalCatalog,
                                       uint32_t* error) override;
  bool UninstallOemInf(const char16_t* infName, uint32_t flags, uint32_t* error) override;
  bool SecurityDescriptorToSddl(const uint8_t* bytes, uint32_t size, WideText* sddl) override;
  bool LoadIndirectString(const char16_t* source, WideText* text) override;
  bool SetPropertyChangeParams(DeviceSet set, const DeviceInfo& device, uint32_t stateChange,
                               uint32_t scope, uint32_t profile, uint32_t* error) override;
  bool CallClassInstaller(uint32_t function, DeviceSet set, const DeviceInfo& device,
                          uint32_t* error) override;
  bool GetDeviceInstallParams(DeviceSet set, const DeviceInfo& device, DeviceInstallParams* params,
                              uint32_t* error) override;
  bool SetDeviceInstallParams(DeviceSet set, const DeviceInfo& device,
                              const DeviceInstallParams& params, uint32_t* error) override;
  bool BuildDriverInfoList(DeviceSet set, const DeviceInfo& device, uint32_t* error) override;
  bool DestroyDriverInfoList(DeviceSet set, const DeviceInfo& device, uint32_t* error) override;
  bool GetSelectedDriver(DeviceSet set, const DeviceInfo& device, DriverInfo* driver,
                         uint32_t* error) override;
  bool InstallDevice(WindowHandle parent, DeviceSet set, const DeviceInfo& device,
                     const DriverInfo& driver, uint32_t flags, bool* needsReboot,
                     uint32_t* error) override;

  // How many property reads the older calls answered (for tests and diagnostics).
  uint64_t FallbackReads() const { return fallbackReads_; }

 private:
  uintptr_t newdev_ = 0;  // HMODULE
  void* installDevice_ = nullptr;
  void* waitNoPendingInstalls_ = nullptr;
  void* uninstallDevice_ = nullptr;
  void* showUpdateDevice_ = nullptr;
  void* installDriver_ = nullptr;
  uint64_t fallbackReads_ = 0;
};

}  // namespace pyr
