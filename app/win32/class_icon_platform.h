// A device platform that forwards every call to another one, except that its class image lists
// are real image lists: the system's class icons placed at the image indices the other platform
// hands out, or the pictures of an icon source instead. The sandbox build needs it because its
// simulated platform has no icons of its own, and the list control must only ever be given a
// real image list.
#pragma once

#include <windows.h>

#include <functional>
#include <map>

#include "devices/device_platform.h"

namespace pyr {

// The icon of a class at size x size pixels, owned by the caller; for the empty GUID, the icon
// of classes without one. nullptr: the system's icon.
using ClassIconSource = std::function<HICON(const Guid& classGuid, int size)>;

class ClassIconPlatform : public DevicePlatform {
 public:
  // classes: every class GUID the inner platform knows, for the icons to collect.
  ClassIconPlatform(DevicePlatform& inner, std::vector<Guid> classes,
                    ClassIconSource source = nullptr);
  ~ClassIconPlatform() override;

  bool GetClassImageList(ClassImageList* list) override;
  bool GetClassImageIndex(const ClassImageList& list, const Guid& classGuid,
                          int32_t* index) override;
  bool DestroyClassImageList(const ClassImageList& list) override;

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
  DeviceSet GetClassDevs(const Guid* classGuid, const char16_t* enumerator, WindowHandle parent,
                         uint32_t flags) override {
    return inner_.GetClassDevs(classGuid, enumerator, parent, flags);
  }
  bool EnumDeviceInfo(DeviceSet set, uint32_t index, DeviceInfo* device) override {
    return inner_.EnumDeviceInfo(set, index, device);
  }
  bool DestroyDeviceInfoList(DeviceSet set) override { return inner_.DestroyDeviceInfoList(set); }
  bool GetDeviceProperty(DeviceSet set, const DeviceInfo& device, const DevPropKey& key,
                         uint32_t* type, uint8_t* buffer, uint32_t bufferSize,
                         uint32_t* requiredSize, uint32_t* error) override {
    return inner_.GetDeviceProperty(set, device, key, type, buffer, bufferSize, requiredSize, error);
  }
  bool RestartDevices(DeviceSet set, const DeviceInfo& device) override {
    return inner_.RestartDevices(set, device);
  }
  ConfigRet LocateDevNode(DevInst* devInst, const char16_t* deviceId, uint32_t flags) override {
    return inner_.LocateDevNode(devInst, deviceId, flags);
  }
  ConfigRet ReenumerateDevNode(DevInst devInst, uint32_t flags) override {
    return inner_.ReenumerateDevNode(devInst, flags);
  }
  bool UninstallDevice(WindowHandle parent, DeviceSet set, const DeviceInfo& device,
                       uint32_t flags, bool* needsReboot) override {
    return inner_.UninstallDevice(parent, set, device, flags, needsReboot);
  }
  bool ShowUpdateDevice(WindowHandle parent, DeviceSet set, const DeviceInfo& device,
                        uint32_t flags, bool* needsReboot) override {
    return inner_.ShowUpdateDevice(parent, set, device, flags, needsReboot);
  }
  bool InstallDriver(WindowHandle parent, const char16_t* infPath, uint32_t flags,
                     bool* needsReboot) override {
    return inner_.InstallDriver(parent, infPath, flags, needsReboot);
  }
  bool GetInfDriverStoreLocation(const char16_t* infName, WideText* path) override {
    return inner_.GetInfDriverStoreLocation(infName, path);
  }
  bool UninstallOemInf(const char16_t* infName, uint32_t flags) override {
    return inner_.UninstallOemInf(infName, flags);
  }
  bool SecurityDescriptorToSddl(const uint8_t* bytes, uint32_t size, WideText* sddl) override {
    return inner_.SecurityDescriptorToSddl(bytes, size, sddl);
  }
  bool LoadIndirectString(const char16_t* source, WideText* text) override {
    return inner_.LoadIndirectString(source, text);
  }
  bool ChangeDeviceState(DeviceSet set, const DeviceInfo& device, uint32_t stateChange,
                         uint32_t scope, uint32_t* error) override {
    return inner_.ChangeDeviceState(set, device, stateChange, scope, error);
  }
  bool GetDeviceInstallFlags(DeviceSet set, const DeviceInfo& device, uint32_t* flags) override {
    return inner_.GetDeviceInstallFlags(set, device, flags);
  }
  bool InstallDeviceDriver(WindowHandle parent, DeviceSet set, const DeviceInfo& device,
                           const char16_t* infPath, uint32_t flags, bool* needsReboot,
                           uint32_t* error) override {
    return inner_.InstallDeviceDriver(parent, set, device, infPath, flags, needsReboot, error);
  }
  uint32_t WaitNoPendingInstallEvents(uint32_t timeoutMs) override {
    return inner_.WaitNoPendingInstallEvents(timeoutMs);
  }

 private:
  DevicePlatform& inner_;
  std::vector<Guid> classes_;
  ClassIconSource source_;
  // Real image list handed out -> the inner platform's list it stands for.
  std::map<uintptr_t, ClassImageList> lists_;
};

}  // namespace pyr
