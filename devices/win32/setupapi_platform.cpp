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
using DriverPackageFn = BOOL(WINAPI*)(HWND, LPCWSTR, DWORD, PBOOL);
using InstallDeviceFn = BOOL(WINAPI*)(HWND, HDEVINFO, PSP_DEVINFO_DATA, PSP_DRVINFO_DATA_W, DWORD,
                                      PBOOL);
using WaitNoPendingInstallsFn = DWORD(WINAPI*)(DWORD);

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

bool RunsOnWine() {
  return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
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
  installDriver_ = reinterpret_cast<void*>(Lookup<DriverPackageFn>(newdev, "DiInstallDriverW"));
  restartDevices_ = reinterpret_cast<void*>(
      Lookup<RestartDevicesFn>(GetModuleHandleW(L"setupapi.dll"), "SetupDiRestartDevices"));
  // Wine exports DiInstallDevice as a stub that ends the process when it is called.
  if (!RunsOnWine()) {
    installDevice_ = reinterpret_cast<void*>(Lookup<InstallDeviceFn>(newdev, "DiInstallDevice"));
  }
  waitNoPendingInstalls_ = reinterpret_cast<void*>(Lookup<WaitNoPendingInstallsFn>(
      GetModuleHandleW(L"setupapi.dll"), "CMP_WaitNoPendingInstallEvents"));
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

// --- Through the class installer, on one device ---

namespace {

// Changes the element's installation parameters in place.
template <typename Edit>
bool EditInstallParams(HDEVINFO set, SP_DEVINFO_DATA* data, Edit edit) {
  SP_DEVINSTALL_PARAMS_W params{};
  params.cbSize = sizeof params;
  if (!SetupDiGetDeviceInstallParamsW(set, data, &params)) return false;
  edit(params);
  return SetupDiSetDeviceInstallParamsW(set, data, &params) != FALSE;
}

bool SameDriver(const SP_DRVINFO_DATA_W& a, const SP_DRVINFO_DATA_W& b) {
  return a.DriverType == b.DriverType && a.DriverVersion == b.DriverVersion &&
         CompareFileTime(&a.DriverDate, &b.DriverDate) == 0 &&
         wcscmp(a.Description, b.Description) == 0 && wcscmp(a.MfgName, b.MfgName) == 0 &&
         wcscmp(a.ProviderName, b.ProviderName) == 0;
}

// The driver the class installer prefers among the element's compatible drivers.
bool SelectBestDriver(HDEVINFO set, SP_DEVINFO_DATA* data, SP_DRVINFO_DATA_W* driver) {
  driver->cbSize = sizeof *driver;
  return SetupDiBuildDriverInfoList(set, data, SPDIT_COMPATDRIVER) &&
         SetupDiCallClassInstaller(DIF_SELECTBESTCOMPATDRV, set, data) &&
         SetupDiGetSelectedDriverW(set, data, driver);
}

}  // namespace

bool SetupApiPlatform::ChangeDeviceState(DeviceSet set, const DeviceInfo& device,
                                         uint32_t stateChange, uint32_t scope, uint32_t* error) {
  SP_DEVINFO_DATA data = ToDeviceData(device);
  SP_PROPCHANGE_PARAMS params{};
  params.ClassInstallHeader.cbSize = sizeof params.ClassInstallHeader;
  params.ClassInstallHeader.InstallFunction = DIF_PROPERTYCHANGE;
  params.StateChange = stateChange;
  params.Scope = scope;
  params.HwProfile = 0;
  if (SetupDiSetClassInstallParamsW(ToSet(set), &data, &params.ClassInstallHeader, sizeof params) &&
      SetupDiCallClassInstaller(DIF_PROPERTYCHANGE, ToSet(set), &data)) {
    return true;
  }
  if (error) *error = GetLastError();
  return false;
}

bool SetupApiPlatform::GetDeviceInstallFlags(DeviceSet set, const DeviceInfo& device,
                                             uint32_t* flags) {
  SP_DEVINFO_DATA data = ToDeviceData(device);
  SP_DEVINSTALL_PARAMS_W params{};
  params.cbSize = sizeof params;
  if (!SetupDiGetDeviceInstallParamsW(ToSet(set), &data, &params)) return false;
  *flags = params.Flags;
  return true;
}

bool SetupApiPlatform::InstallDeviceDriver(WindowHandle parent, DeviceSet set,
                                           const DeviceInfo& device, const char16_t* infPath,
                                           uint32_t flags, bool* needsReboot, uint32_t* error) {
  SetReboot(needsReboot, FALSE);
  const HDEVINFO devices = ToSet(set);
  SP_DEVINFO_DATA data = ToDeviceData(device);
  auto fail = [error](DWORD code) {
    if (error) *error = code;
    return false;
  };
  // DiInstallDevice installs what the driver store holds: a package chosen by the user goes there
  // first, and the element then looks for drivers in its published INF alone.
  wchar_t published[MAX_PATH] = {};
  if (infPath && !SetupCopyOEMInfW(W(infPath), nullptr, SPOST_PATH, 0, published, MAX_PATH,
                                   nullptr, nullptr)) {
    return fail(GetLastError());
  }
  // The element belongs to the list's device set and keeps what an earlier search set on it.
  SetupDiDestroyDriverInfoList(devices, &data, SPDIT_COMPATDRIVER);
  if (!EditInstallParams(devices, &data, [&](SP_DEVINSTALL_PARAMS_W& p) {
        p.Flags &= ~DI_ENUMSINGLEINF;
        p.FlagsEx &= ~(DI_FLAGSEX_INSTALLEDDRIVER | DI_FLAGSEX_APPENDDRIVERLIST);
        p.DriverPath[0] = L'\0';
        if (infPath) {
          p.Flags |= DI_ENUMSINGLEINF;
          wcscpy_s(p.DriverPath, MAX_PATH, published);
        }
      })) {
    return fail(GetLastError());
  }
  SP_DRVINFO_DATA_W offered{};
  if (!SelectBestDriver(devices, &data, &offered)) return fail(GetLastError());
  if (!(flags & kInstallFlagForce)) {
    // The installed driver joins the list: when the class installer then prefers it, the offer is
    // no better match, as UpdateDriverForPlugAndPlayDevicesW would also answer.
    SP_DRVINFO_DATA_W best{};
    if (EditInstallParams(devices, &data, [](SP_DEVINSTALL_PARAMS_W& p) {
          p.Flags &= ~DI_ENUMSINGLEINF;
          p.FlagsEx |= DI_FLAGSEX_INSTALLEDDRIVER | DI_FLAGSEX_APPENDDRIVERLIST;
          p.DriverPath[0] = L'\0';
        }) &&
        SelectBestDriver(devices, &data, &best) && !SameDriver(best, offered)) {
      return fail(ERROR_NO_MORE_ITEMS);
    }
    if (!SetupDiSetSelectedDriverW(devices, &data, &offered)) return fail(GetLastError());
  }
  if (!installDevice_) return fail(ERROR_PROC_NOT_FOUND);
  BOOL reboot = FALSE;
  if (!reinterpret_cast<InstallDeviceFn>(installDevice_)(ToWindow(parent), devices, &data, &offered,
                                                         0, &reboot)) {
    return fail(GetLastError());
  }
  SetReboot(needsReboot, reboot);
  return true;
}

uint32_t SetupApiPlatform::WaitNoPendingInstallEvents(uint32_t timeoutMs) {
  if (!waitNoPendingInstalls_) return kWaitFailed;
  return reinterpret_cast<WaitNoPendingInstallsFn>(waitNoPendingInstalls_)(timeoutMs);
}

}  // namespace pyr
