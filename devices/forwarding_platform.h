// A device platform that hands every call to another one; decorators derive from it and
// override only the calls they change.
#pragma once

#include "devices/device_platform.h"

namespace pyr {

class ForwardingPlatform : public DevicePlatform {
 public:
  explicit ForwardingPlatform(DevicePlatform& inner) : inner_(inner) {}

  bool BuildClassInfoList(uint32_t flags, Guid* buffer, uint32_t bufferCount,
                          uint32_t* requiredCount) override {
    return inner_.BuildClassInfoList(flags, buffer, bufferCount, requiredCount);
  }
  bool ClassNameFromGuid(const Guid& classGuid, WideText* name) override {
    return inner_.ClassNameFromGuid(classGuid, name);
  }
  bool GetClassDescription(const Guid& classGuid, WideText* text) override {
    return inner_.GetClassDescription(classGuid, text);
  }
  bool GetClassImageList(ClassImageList* list) override { return inner_.GetClassImageList(list); }
  bool GetClassImageIndex(const ClassImageList& list, const Guid& classGuid,
                          int32_t* index) override {
    return inner_.GetClassImageIndex(list, classGuid, index);
  }
  bool DestroyClassImageList(const ClassImageList& list) override {
    return inner_.DestroyClassImageList(list);
  }
  DeviceSet GetClassDevs(const Guid* classGuid, const char16_t* enumerator, WindowHandle parent,
                         uint32_t flags) override {
    return inner_.GetClassDevs(classGuid, enumerator, parent, flags);
  }
  bool EnumDeviceInfo(DeviceSet set, uint32_t index, DeviceInfo* device,
                      uint32_t* error = nullptr) override {
    return inner_.EnumDeviceInfo(set, index, device, error);
  }
  bool DestroyDeviceInfoList(DeviceSet set) override { return inner_.DestroyDeviceInfoList(set); }
  bool GetDeviceProperty(DeviceSet set, const DeviceInfo& device, const DevPropKey& key,
                         uint32_t* type, uint8_t* buffer, uint32_t bufferSize,
                         uint32_t* requiredSize, uint32_t* error) override {
    return inner_.GetDeviceProperty(set, device, key, type, buffer, bufferSize, requiredSize,
                                    error);
  }
  ConfigRet LocateDevNode(DevInst* devInst, const char16_t* deviceId, uint32_t flags) override {
    return inner_.LocateDevNode(devInst, deviceId, flags);
  }
  ConfigRet ReenumerateDevNode(DevInst devInst, uint32_t flags) override {
    return inner_.ReenumerateDevNode(devInst, flags);
  }
  bool UninstallDevice(WindowHandle parent, DeviceSet set, const DeviceInfo& device, uint32_t flags,
                       bool* needsReboot, uint32_t* error) override {
    return inner_.UninstallDevice(parent, set, device, flags, needsReboot, error);
  }
  uint32_t WaitNoPendingInstallEvents(uint32_t timeoutMs) override {
    return inner_.WaitNoPendingInstallEvents(timeoutMs);
  }
  bool ShowUpdateDevice(WindowHandle parent, DeviceSet set, const DeviceInfo& device,
                        uint32_t flags, bool* needsReboot, uint32_t* error) override {
    return inner_.ShowUpdateDevice(parent, set, device, flags, needsReboot, error);
  }
  bool InstallDriver(WindowHandle parent, const char16_t* infPath, uint32_t flags,
                     bool* needsReboot, uint32_t* error) override {
    return inner_.InstallDriver(parent, infPath, flags, needsReboot, error);
  }
  bool GetInfDriverStoreLocation(const char16_t* infName, WideText* path) override {
    return inner_.GetInfDriverStoreLocation(infName, path);
  }
  bool CopyOemInf(const char16_t* sourceInf, uint32_t copyStyle, WideText* publishedInf,
                  uint32_t* error) override {
    return inner_.CopyOemInf(sourceInf, copyStyle, publishedInf, error);
  }
  bool GetInfFileList(const char16_t* directory, uint32_t infStyle, std::vector<WideText>* names,
                      uint32_t* error) override {
    return inner_.GetInfFileList(directory, infStyle, names, error);
  }
  bool GetInfInformation(const char16_t* infName, uint32_t searchControl, InfInformation* info,
                         uint32_t* error) override {
    return inner_.GetInfInformation(infName, searchControl, info, error);
  }
  bool QueryInfVersionInformation(const InfInformation& info, uint32_t infIndex, const char16_t* key,
                                  WideText* value, uint32_t* error) override {
    return inner_.QueryInfVersionInformation(info, infIndex, key, value, error);
  }
  bool QueryInfOriginalFileInformation(const InfInformation& info, uint32_t infIndex,
                                       WideText* originalInf, WideText* originalCatalog,
                                       uint32_t* error) override {
    return inner_.QueryInfOriginalFileInformation(info, infIndex, originalInf, originalCatalog, error);
  }
  bool UninstallOemInf(const char16_t* infName, uint32_t flags, uint32_t* error) override {
    return inner_.UninstallOemInf(infName, flags, error);
  }
  bool SecurityDescriptorToSddl(const uint8_t* bytes, uint32_t size, WideText* sddl) override {
    return inner_.SecurityDescriptorToSddl(bytes, size, sddl);
  }
  bool LoadIndirectString(const char16_t* source, WideText* text) override {
    return inner_.LoadIndirectString(source, text);
  }
  bool SetPropertyChangeParams(DeviceSet set, const DeviceInfo& device, uint32_t stateChange,
                               uint32_t scope, uint32_t profile, uint32_t* error) override {
    return inner_.SetPropertyChangeParams(set, device, stateChange, scope, profile, error);
  }
  bool CallClassInstaller(uint32_t function, DeviceSet set, const DeviceInfo& device,
                          uint32_t* error) override {
    return inner_.CallClassInstaller(function, set, device, error);
  }
  bool GetDeviceInstallParams(DeviceSet set, const DeviceInfo& device, DeviceInstallParams* params,
                              uint32_t* error) override {
    return inner_.GetDeviceInstallParams(set, device, params, error);
  }
  bool SetDeviceInstallParams(DeviceSet set, const DeviceInfo& device,
                              const DeviceInstallParams& params, uint32_t* error) override {
    return inner_.SetDeviceInstallParams(set, device, params, error);
  }
  bool BuildDriverInfoList(DeviceSet set, const DeviceInfo& device, uint32_t* error) override {
    return inner_.BuildDriverInfoList(set, device, error);
  }
  bool DestroyDriverInfoList(DeviceSet set, const DeviceInfo& device, uint32_t* error) override {
    return inner_.DestroyDriverInfoList(set, device, error);
  }
  bool GetSelectedDriver(DeviceSet set, const DeviceInfo& device, DriverInfo* driver,
                         uint32_t* error) override {
    return inner_.GetSelectedDriver(set, device, driver, error);
  }
  bool InstallDevice(WindowHandle parent, DeviceSet set, const DeviceInfo& device,
                     const DriverInfo& driver, uint32_t flags, bool* needsReboot,
                     uint32_t* error) override {
    return inner_.InstallDevice(parent, set, device, driver, flags, needsReboot, error);
  }

 protected:
  DevicePlatform& inner_;
};

}  // namespace pyr
