#include "devices/win32/setupapi_platform.h"

#include <windows.h>
#include <cfgmgr32.h>
#include <sddl.h>
#include <setupapi.h>
#include <shlwapi.h>

#include <cstring>
#include <vector>

#include "base/win32/system_folder.h"
#include "base/win32/wchar.h"
#include "devices/win32/legacy_device_property.h"

// Exported by setupapi since Vista but missing from MinGW's header.
#if defined(__MINGW32__)
extern "C" BOOL WINAPI SetupGetInfDriverStoreLocationW(PCWSTR fileName,
                                                       PSP_ALTPLATFORM_INFO alternatePlatform,
                                                       PCWSTR localeName, PWSTR returnBuffer,
                                                       DWORD returnBufferSize,
                                                       PDWORD requiredSize);
#endif

namespace pyr {

namespace {

static_assert(sizeof(Guid) == sizeof(GUID), "Guid mirrors GUID");

// newdev's functions and SetupDiRestartDevices are looked up at run time: some systems and
// compatibility layers lack them, and a missing import would keep the program from starting.
using RestartDevicesFn = BOOL(WINAPI*)(HDEVINFO, PSP_DEVINFO_DATA);
using DeviceActionFn = BOOL(WINAPI*)(HWND, HDEVINFO, PSP_DEVINFO_DATA, DWORD, PBOOL);
using UpdateDriverFn = BOOL(WINAPI*)(HWND, LPCWSTR, LPCWSTR, DWORD, PBOOL);
using DriverPackageFn = BOOL(WINAPI*)(HWND, LPCWSTR, DWORD, PBOOL);

constexpr DWORD kNameBuffer = 1024;
constexpr DWORD kIndirectBuffer = 4096;

GUID ToGuid(const Guid& g) {
  GUID out;
  uint8_t bytes[16];
  g.ToBytes(bytes);
  std::memcpy(&out, bytes, sizeof out);
  return out;
}

Guid FromGuid(const GUID& g) {
  uint8_t bytes[16];
  std::memcpy(bytes, &g, sizeof bytes);
  return Guid::FromBytes(bytes);
}

HDEVINFO ToSet(DeviceSet set) { return reinterpret_cast<HDEVINFO>(set.value); }
HWND ToWindow(WindowHandle w) { return reinterpret_cast<HWND>(w.value); }

SP_DEVINFO_DATA ToDeviceData(const DeviceInfo& device) {
  SP_DEVINFO_DATA data{};
  data.cbSize = sizeof data;
  data.ClassGuid = ToGuid(device.classGuid);
  data.DevInst = device.devInst;
  data.Reserved = device.reserved;
  return data;
}

SP_CLASSIMAGELIST_DATA ToImageData(const ClassImageList& list) {
  SP_CLASSIMAGELIST_DATA data{};
  data.cbSize = sizeof data;
  data.ImageList = reinterpret_cast<HIMAGELIST>(list.imageList.value);
  data.Reserved = list.reserved;
  return data;
}

template <typename Fn>
Fn Lookup(HMODULE module, const char* name) {
  return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)))
                : nullptr;
}

void SetReboot(bool* out, BOOL value) {
  if (out) *out = value != FALSE;
}

}  // namespace

SetupApiPlatform::SetupApiPlatform() {
  // From the system folder only, never from the program's own.
  WideText path = SystemFolder();
  HMODULE newdev = nullptr;
  if (!path.Empty()) {
    path.Append(u"\\newdev.dll");
    newdev = LoadLibraryW(W(path));
  }
  newdev_ = reinterpret_cast<uintptr_t>(newdev);
  uninstallDevice_ = reinterpret_cast<void*>(Lookup<DeviceActionFn>(newdev, "DiUninstallDevice"));
  showUpdateDevice_ = reinterpret_cast<void*>(Lookup<DeviceActionFn>(newdev, "DiShowUpdateDevice"));
  updateDriver_ = reinterpret_cast<void*>(
      Lookup<UpdateDriverFn>(newdev, "UpdateDriverForPlugAndPlayDevicesW"));
  installDriver_ = reinterpret_cast<void*>(Lookup<DriverPackageFn>(newdev, "DiInstallDriverW"));
  restartDevices_ = reinterpret_cast<void*>(
      Lookup<RestartDevicesFn>(GetModuleHandleW(L"setupapi.dll"), "SetupDiRestartDevices"));
}

SetupApiPlatform::~SetupApiPlatform() {
  if (newdev_) FreeLibrary(reinterpret_cast<HMODULE>(newdev_));
}

// --- Classes ---

bool SetupApiPlatform::BuildClassInfoList(uint32_t flags, Guid* buffer, uint32_t bufferCount,
                                          uint32_t* requiredCount) {
  std::vector<GUID> guids(bufferCount);
  DWORD required = 0;
  BOOL ok = SetupDiBuildClassInfoList(flags, buffer ? guids.data() : nullptr,
                                      buffer ? bufferCount : 0, &required);
  if (requiredCount) *requiredCount = required;
  if (ok && buffer) {
    for (uint32_t i = 0; i < bufferCount && i < required; ++i) buffer[i] = FromGuid(guids[i]);
  }
  return ok != FALSE;
}

bool SetupApiPlatform::ClassNameFromGuid(const Guid& classGuid, WideText* name) {
  const GUID guid = ToGuid(classGuid);
  WideText text;
  if (!SetupDiClassNameFromGuidW(&guid, W(text.Reserve(kNameBuffer)), kNameBuffer, nullptr)) {
    return false;
  }
  *name = WideText(text.View());
  return true;
}

bool SetupApiPlatform::GetClassDescription(const Guid& classGuid, WideText* description) {
  const GUID guid = ToGuid(classGuid);
  WideText text;
  if (!SetupDiGetClassDescriptionW(&guid, W(text.Reserve(kNameBuffer)), kNameBuffer, nullptr)) {
    return false;
  }
  *description = WideText(text.View());
  return true;
}

bool SetupApiPlatform::GetClassImageList(ClassImageList* list) {
  SP_CLASSIMAGELIST_DATA data{};
  data.cbSize = sizeof data;
  if (!SetupDiGetClassImageList(&data)) return false;
  list->imageList.value = reinterpret_cast<uintptr_t>(data.ImageList);
  list->reserved = data.Reserved;
  return true;
}

bool SetupApiPlatform::GetClassImageIndex(const ClassImageList& list, const Guid& classGuid,
                                          int32_t* index) {
  SP_CLASSIMAGELIST_DATA data = ToImageData(list);
  const GUID guid = ToGuid(classGuid);
  int value = 0;
  if (!SetupDiGetClassImageIndex(&data, &guid, &value)) return false;
  *index = value;
  return true;
}

bool SetupApiPlatform::DestroyClassImageList(const ClassImageList& list) {
  SP_CLASSIMAGELIST_DATA data = ToImageData(list);
  return SetupDiDestroyClassImageList(&data) != FALSE;
}

// --- Sets and properties ---

DeviceSet SetupApiPlatform::GetClassDevs(const Guid* classGuid, const char16_t* enumerator,
                                         WindowHandle parent, uint32_t flags) {
  GUID guid{};
  if (classGuid) guid = ToGuid(*classGuid);
  HDEVINFO set = SetupDiGetClassDevsW(classGuid ? &guid : nullptr, W(enumerator),
                                      ToWindow(parent), flags);
  return DeviceSet{reinterpret_cast<uintptr_t>(set)};
}

bool SetupApiPlatform::EnumDeviceInfo(DeviceSet set, uint32_t index, DeviceInfo* device) {
  SP_DEVINFO_DATA data{};
  data.cbSize = sizeof data;
  if (!SetupDiEnumDeviceInfo(ToSet(set), index, &data)) return false;
  device->index = index;
  device->classGuid = FromGuid(data.ClassGuid);
  device->devInst = data.DevInst;
  device->reserved = data.Reserved;
  return true;
}

bool SetupApiPlatform::DestroyDeviceInfoList(DeviceSet set) {
  return SetupDiDestroyDeviceInfoList(ToSet(set)) != FALSE;
}

bool SetupApiPlatform::GetDeviceProperty(DeviceSet set, const DeviceInfo& device,
                                         const DevPropKey& key, uint32_t* type, uint8_t* buffer,
                                         uint32_t bufferSize, uint32_t* requiredSize,
                                         uint32_t* error) {
  SP_DEVINFO_DATA data = ToDeviceData(device);
  DEVPROPKEY propertyKey;
  propertyKey.fmtid = ToGuid(key.fmtid);
  propertyKey.pid = key.pid;
  DEVPROPTYPE propertyType = 0;
  DWORD required = 0;
  if (SetupDiGetDevicePropertyW(ToSet(set), &data, &propertyKey, &propertyType,
                                buffer, buffer ? bufferSize : 0, &required, 0)) {
    *type = propertyType;
    *requiredSize = required;
    *error = 0;
    return true;
  }
  const DWORD lastError = GetLastError();
  if (lastError == ERROR_INSUFFICIENT_BUFFER) {
    *type = propertyType;
    *requiredSize = required;
    *error = lastError;
    return false;
  }
  // Only a key the system does not know (or the device lacks) is asked of the older calls: a
  // device that no longer exists must not read as one that is merely not present.
  if (lastError != ERROR_NOT_FOUND) {
    *requiredSize = 0;
    *error = lastError;
    return false;
  }
  std::vector<uint8_t> value;
  uint32_t legacyType = 0;
  if (!ReadLegacyDeviceProperty(ToSet(set), &data, key, &legacyType, &value)) {
    *requiredSize = 0;
    *error = lastError;
    return false;
  }
  ++fallbackReads_;
  *type = legacyType;
  *requiredSize = static_cast<uint32_t>(value.size());
  if (!buffer || bufferSize < value.size()) {
    *error = ERROR_INSUFFICIENT_BUFFER;
    return false;
  }
  if (!value.empty()) std::memcpy(buffer, value.data(), value.size());
  *error = 0;
  return true;
}

// --- Device state ---

bool SetupApiPlatform::RestartDevices(DeviceSet set, const DeviceInfo& device) {
  if (!restartDevices_) return false;
  SP_DEVINFO_DATA data = ToDeviceData(device);
  return reinterpret_cast<RestartDevicesFn>(restartDevices_)(ToSet(set), &data) != FALSE;
}

ConfigRet SetupApiPlatform::LocateDevNode(DevInst* devInst, const char16_t* deviceId,
                                          uint32_t flags) {
  DEVINST node = 0;
  CONFIGRET cr = CM_Locate_DevNodeW(&node, const_cast<DEVINSTID_W>(W(deviceId)), flags);
  if (cr == CR_SUCCESS) *devInst = node;
  return cr;
}

ConfigRet SetupApiPlatform::ReenumerateDevNode(DevInst devInst, uint32_t flags) {
  return CM_Reenumerate_DevNode(devInst, flags);
}

ConfigRet SetupApiPlatform::DisableDevNode(DevInst devInst, uint32_t flags) {
  return CM_Disable_DevNode(devInst, flags);
}

ConfigRet SetupApiPlatform::EnableDevNode(DevInst devInst, uint32_t flags) {
  return CM_Enable_DevNode(devInst, flags);
}

bool SetupApiPlatform::UninstallDevice(WindowHandle parent, DeviceSet set,
                                       const DeviceInfo& device, uint32_t flags,
                                       bool* needsReboot) {
  if (!uninstallDevice_) return false;
  SP_DEVINFO_DATA data = ToDeviceData(device);
  BOOL reboot = FALSE;
  BOOL ok = reinterpret_cast<DeviceActionFn>(uninstallDevice_)(ToWindow(parent), ToSet(set), &data,
                                                               flags, &reboot);
  SetReboot(needsReboot, reboot);
  return ok != FALSE;
}

// --- Drivers ---

bool SetupApiPlatform::ShowUpdateDevice(WindowHandle parent, DeviceSet set,
                                        const DeviceInfo& device, uint32_t flags,
                                        bool* needsReboot) {
  if (!showUpdateDevice_) return false;
  SP_DEVINFO_DATA data = ToDeviceData(device);
  BOOL reboot = FALSE;
  BOOL ok = reinterpret_cast<DeviceActionFn>(showUpdateDevice_)(ToWindow(parent), ToSet(set),
                                                                &data, flags, &reboot);
  SetReboot(needsReboot, reboot);
  return ok != FALSE;
}

bool SetupApiPlatform::UpdateDriverForPlugAndPlayDevices(WindowHandle parent,
                                                         const char16_t* hardwareId,
                                                         const char16_t* infPath, uint32_t flags,
                                                         bool* rebootRequired) {
  if (!updateDriver_) return false;
  BOOL reboot = FALSE;
  BOOL ok = reinterpret_cast<UpdateDriverFn>(updateDriver_)(ToWindow(parent), W(hardwareId),
                                                            W(infPath), flags, &reboot);
  SetReboot(rebootRequired, reboot);
  return ok != FALSE;
}

bool SetupApiPlatform::InstallDriver(WindowHandle parent, const char16_t* infPath, uint32_t flags,
                                     bool* needsReboot) {
  if (!installDriver_) return false;
  BOOL reboot = FALSE;
  BOOL ok = reinterpret_cast<DriverPackageFn>(installDriver_)(ToWindow(parent), W(infPath), flags,
                                                              &reboot);
  SetReboot(needsReboot, reboot);
  return ok != FALSE;
}

bool SetupApiPlatform::GetInfDriverStoreLocation(const char16_t* infName, WideText* path) {
  WideText text;
  if (!SetupGetInfDriverStoreLocationW(W(infName), nullptr, nullptr,
                                       W(text.Reserve(kNameBuffer)), kNameBuffer, nullptr)) {
    return false;
  }
  *path = WideText(text.View());
  return true;
}

// --- Driver package removal ---

bool SetupApiPlatform::UninstallOemInf(const char16_t* infName, uint32_t flags) {
  return SetupUninstallOEMInfW(W(infName), flags, nullptr) != FALSE;
}

// --- Conversions ---

namespace {

// RtlValidRelativeSecurityDescriptor: the check that takes the buffer's length. ntdll is in
// every process already, so looking it up loads nothing.
bool ValidRelativeSecurityDescriptor(PSECURITY_DESCRIPTOR descriptor, uint32_t size) {
  using ValidRelativeFn = BOOLEAN(NTAPI*)(PSECURITY_DESCRIPTOR, ULONG, SECURITY_INFORMATION);
  static const auto check = reinterpret_cast<ValidRelativeFn>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlValidRelativeSecurityDescriptor")));
  return check != nullptr && check(descriptor, size, 0) != FALSE;
}

}  // namespace

bool SetupApiPlatform::SecurityDescriptorToSddl(const uint8_t* bytes, uint32_t size,
                                                WideText* sddl) {
  // The descriptor's own offsets must stay inside the bytes the property had, and the check
  // that says so must itself read no further than them.
  auto* descriptor = const_cast<PSECURITY_DESCRIPTOR>(static_cast<const void*>(bytes));
  if (!bytes || size < SECURITY_DESCRIPTOR_MIN_LENGTH ||
      !ValidRelativeSecurityDescriptor(descriptor, size)) {
    return false;
  }
  LPWSTR text = nullptr;
  if (!ConvertSecurityDescriptorToStringSecurityDescriptorW(
          descriptor, SDDL_REVISION_1, BACKUP_SECURITY_INFORMATION, &text, nullptr)) {
    return false;
  }
  *sddl = WideText(U(text));
  LocalFree(text);
  return true;
}

bool SetupApiPlatform::LoadIndirectString(const char16_t* source, WideText* text) {
  WideText result;
  if (FAILED(SHLoadIndirectString(W(source), W(result.Reserve(kIndirectBuffer)), kIndirectBuffer,
                                  nullptr))) {
    return false;
  }
  *text = WideText(result.View());
  return true;
}

}  // namespace pyr
