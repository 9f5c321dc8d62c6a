#include "devices/win32/setupapi_platform.h"

#include <windows.h>
#include <cfgmgr32.h>
#include <sddl.h>
#include <setupapi.h>
#include <shlwapi.h>

#include <algorithm>
#include <cstring>
#include <string_view>
#include <iterator>
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

// newdev's functions are looked up at run time: some systems and compatibility layers lack them,
// and a missing import would keep the program from starting.
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

// The call's answer, with its last error on failure.
bool Answer(BOOL ok, uint32_t* error) {
  if (!ok && error) *error = GetLastError();
  return ok != FALSE;
}

// A function that this system lacks fails as the loader would.
bool Missing(uint32_t* error) {
  if (error) *error = ERROR_PROC_NOT_FOUND;
  return false;
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

bool SetupApiPlatform::EnumDeviceInfo(DeviceSet set, uint32_t index, DeviceInfo* device,
                                      uint32_t* error) {
  SP_DEVINFO_DATA data{};
  data.cbSize = sizeof data;
  if (!Answer(SetupDiEnumDeviceInfo(ToSet(set), index, &data), error)) return false;
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
                                       bool* needsReboot, uint32_t* error) {
  if (!uninstallDevice_) return Missing(error);
  SP_DEVINFO_DATA data = ToDeviceData(device);
  BOOL reboot = FALSE;
  BOOL ok = reinterpret_cast<DeviceActionFn>(uninstallDevice_)(ToWindow(parent), ToSet(set), &data,
                                                               flags, &reboot);
  SetReboot(needsReboot, reboot);
  return Answer(ok, error);
}

uint32_t SetupApiPlatform::WaitNoPendingInstallEvents(uint32_t timeoutMs) {
  if (!waitNoPendingInstalls_) return kWaitFailed;
  return reinterpret_cast<WaitNoPendingInstallsFn>(waitNoPendingInstalls_)(timeoutMs);
}

// --- Drivers ---

bool SetupApiPlatform::ShowUpdateDevice(WindowHandle parent, DeviceSet set,
                                        const DeviceInfo& device, uint32_t flags,
                                        bool* needsReboot, uint32_t* error) {
  if (!showUpdateDevice_) return Missing(error);
  SP_DEVINFO_DATA data = ToDeviceData(device);
  BOOL reboot = FALSE;
  BOOL ok = reinterpret_cast<DeviceActionFn>(showUpdateDevice_)(ToWindow(parent), ToSet(set),
                                                                &data, flags, &reboot);
  SetReboot(needsReboot, reboot);
  return Answer(ok, error);
}

bool SetupApiPlatform::InstallDriver(WindowHandle parent, const char16_t* infPath, uint32_t flags,
                                     bool* needsReboot, uint32_t* error) {
  if (!installDriver_) return Missing(error);
  BOOL reboot = FALSE;
  BOOL ok = reinterpret_cast<DriverPackageFn>(installDriver_)(ToWindow(parent), W(infPath), flags,
                                                              &reboot);
  SetReboot(needsReboot, reboot);
  return Answer(ok, error);
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

bool SetupApiPlatform::CopyOemInf(const char16_t* sourceInf, uint32_t copyStyle,
                                  WideText* publishedInf, uint32_t* error) {
  WideText text;
  const BOOL ok = SetupCopyOEMInfW(W(sourceInf), nullptr, SPOST_PATH, copyStyle,
                                   W(text.Reserve(kNameBuffer)), kNameBuffer, nullptr, nullptr);
  const DWORD lastError = GetLastError();
  // Under SP_COPY_NOOVERWRITE the name of the copy already there comes with ERROR_FILE_EXISTS.
  *publishedInf = WideText(text.View());
  if (!ok && error) *error = lastError;
  return ok != FALSE;
}

// --- The driver store's packages ---

namespace {

// The characters of a two-call answer, or false with the call's error.
template <typename Call>
bool TwoCallText(Call call, std::vector<wchar_t>* text, uint32_t* error) {
  DWORD required = 0;
  if (!call(nullptr, 0, &required) && GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
    return Answer(FALSE, error);
  }
  text->assign(required + 1, L'\0');
  return Answer(call(text->data(), static_cast<DWORD>(text->size()), &required), error);
}

const SP_INF_INFORMATION* InfBuffer(const InfInformation& info) {
  return info.bytes.size() < sizeof(SP_INF_INFORMATION)
             ? nullptr
             : reinterpret_cast<const SP_INF_INFORMATION*>(info.bytes.data());
}

}  // namespace

bool SetupApiPlatform::GetInfFileList(const char16_t* directory, uint32_t infStyle,
                                      std::vector<WideText>* names, uint32_t* error) {
  std::vector<wchar_t> text;
  names->clear();
  if (!TwoCallText([&](PWSTR b, DWORD n, PDWORD r) { return SetupGetInfFileListW(W(directory), infStyle, b, n, r); },
                   &text, error)) {
    return false;
  }
  // Names end with a null each, the list with one more.
  for (size_t at = 0; at < text.size() && text[at] != L'\0';) {
    const std::wstring_view name(text.data() + at);
    names->push_back(WideText(std::u16string_view(reinterpret_cast<const char16_t*>(name.data()), name.size())));
    at += name.size() + 1;
  }
  return true;
}

bool SetupApiPlatform::GetInfInformation(const char16_t* infName, uint32_t searchControl,
                                         InfInformation* info, uint32_t* error) {
  DWORD required = 0;
  if (!SetupGetInfInformationW(W(infName), searchControl, nullptr, 0, &required) &&
      GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
    return Answer(FALSE, error);
  }
  // SP_INF_INFORMATION holds DWORDs: the vector's storage is suitably aligned.
  info->bytes.assign(std::max<DWORD>(required, sizeof(SP_INF_INFORMATION)), 0);
  return Answer(SetupGetInfInformationW(W(infName), searchControl,
                                        reinterpret_cast<PSP_INF_INFORMATION>(info->bytes.data()),
                                        static_cast<DWORD>(info->bytes.size()), &required),
                error);
}

bool SetupApiPlatform::QueryInfVersionInformation(const InfInformation& info, uint32_t infIndex,
                                                  const char16_t* key, WideText* value,
                                                  uint32_t* error) {
  const SP_INF_INFORMATION* raw = InfBuffer(info);
  if (!raw) return Answer((SetLastError(ERROR_INVALID_PARAMETER), FALSE), error);
  auto* mutableRaw = const_cast<SP_INF_INFORMATION*>(raw);  // the call does not write it
  std::vector<wchar_t> text;
  if (!TwoCallText([&](PWSTR b, DWORD n, PDWORD r) {
        return SetupQueryInfVersionInformationW(mutableRaw, infIndex, W(key), b, n, r);
      }, &text, error)) {
    return false;
  }
  *value = WideText(std::u16string_view(reinterpret_cast<const char16_t*>(text.data())));
  return true;
}

bool SetupApiPlatform::QueryInfOriginalFileInformation(const InfInformation& info, uint32_t infIndex,
                                                       WideText* originalInf,
                                                       WideText* originalCatalog, uint32_t* error) {
  const SP_INF_INFORMATION* raw = InfBuffer(info);
  if (!raw) return Answer((SetLastError(ERROR_INVALID_PARAMETER), FALSE), error);
  SP_ORIGINAL_FILE_INFO_W original{};
  original.cbSize = sizeof(original);
  if (!Answer(SetupQueryInfOriginalFileInformationW(const_cast<SP_INF_INFORMATION*>(raw), infIndex,
                                                    nullptr, &original),
              error)) {
    return false;
  }
  *originalInf = WideText(std::u16string_view(reinterpret_cast<const char16_t*>(original.OriginalInfName)));
  *originalCatalog =
      WideText(std::u16string_view(reinterpret_cast<const char16_t*>(original.OriginalCatalogName)));
  return true;
}

// --- Driver package removal ---

bool SetupApiPlatform::UninstallOemInf(const char16_t* infName, uint32_t flags, uint32_t* error) {
  return Answer(SetupUninstallOEMInfW(W(infName), flags, nullptr), error);
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

// --- The class installer and its driver lists, on one device ---

namespace {

SP_DRVINFO_DATA_W ToDriverData(const DriverInfo& driver) {
  SP_DRVINFO_DATA_W data{};
  data.cbSize = sizeof data;
  data.DriverType = driver.driverType;
  data.Reserved = driver.reserved;
  wcsncpy_s(data.Description, std::size(data.Description), W(driver.description.Buffer()), _TRUNCATE);
  wcsncpy_s(data.MfgName, std::size(data.MfgName), W(driver.manufacturer.Buffer()), _TRUNCATE);
  wcsncpy_s(data.ProviderName, std::size(data.ProviderName), W(driver.provider.Buffer()), _TRUNCATE);
  data.DriverDate.dwLowDateTime = static_cast<DWORD>(driver.date);
  data.DriverDate.dwHighDateTime = static_cast<DWORD>(driver.date >> 32);
  data.DriverVersion = driver.version;
  return data;
}

}  // namespace

bool SetupApiPlatform::SetPropertyChangeParams(DeviceSet set, const DeviceInfo& device,
                                               uint32_t stateChange, uint32_t scope,
                                               uint32_t profile, uint32_t* error) {
  SP_DEVINFO_DATA data = ToDeviceData(device);
  SP_PROPCHANGE_PARAMS params{};
  params.ClassInstallHeader.cbSize = sizeof params.ClassInstallHeader;
  params.ClassInstallHeader.InstallFunction = DIF_PROPERTYCHANGE;
  params.StateChange = stateChange;
  params.Scope = scope;
  params.HwProfile = profile;
  return Answer(SetupDiSetClassInstallParamsW(ToSet(set), &data, &params.ClassInstallHeader,
                                              sizeof params),
                error);
}

bool SetupApiPlatform::CallClassInstaller(uint32_t function, DeviceSet set, const DeviceInfo& device,
                                          uint32_t* error) {
  SP_DEVINFO_DATA data = ToDeviceData(device);
  return Answer(SetupDiCallClassInstaller(function, ToSet(set), &data), error);
}

bool SetupApiPlatform::GetDeviceInstallParams(DeviceSet set, const DeviceInfo& device,
                                              DeviceInstallParams* params, uint32_t* error) {
  SP_DEVINFO_DATA data = ToDeviceData(device);
  SP_DEVINSTALL_PARAMS_W raw{};
  raw.cbSize = sizeof raw;
  if (!Answer(SetupDiGetDeviceInstallParamsW(ToSet(set), &data, &raw), error)) return false;
  params->flags = raw.Flags;
  params->flagsEx = raw.FlagsEx;
  params->driverPath = WideText(U(raw.DriverPath));
  return true;
}

bool SetupApiPlatform::SetDeviceInstallParams(DeviceSet set, const DeviceInfo& device,
                                              const DeviceInstallParams& params, uint32_t* error) {
  SP_DEVINFO_DATA data = ToDeviceData(device);
  // The members the program does not change keep what the system holds.
  SP_DEVINSTALL_PARAMS_W raw{};
  raw.cbSize = sizeof raw;
  if (!Answer(SetupDiGetDeviceInstallParamsW(ToSet(set), &data, &raw), error)) return false;
  if (params.driverPath.Length() >= MAX_PATH) {
    if (error) *error = ERROR_FILENAME_EXCED_RANGE;
    return false;
  }
  raw.Flags = params.flags;
  raw.FlagsEx = params.flagsEx;
  wcscpy_s(raw.DriverPath, MAX_PATH, W(params.driverPath.Buffer()));
  return Answer(SetupDiSetDeviceInstallParamsW(ToSet(set), &data, &raw), error);
}

bool SetupApiPlatform::BuildDriverInfoList(DeviceSet set, const DeviceInfo& device, uint32_t* error) {
  SP_DEVINFO_DATA data = ToDeviceData(device);
  return Answer(SetupDiBuildDriverInfoList(ToSet(set), &data, SPDIT_COMPATDRIVER), error);
}

bool SetupApiPlatform::DestroyDriverInfoList(DeviceSet set, const DeviceInfo& device,
                                             uint32_t* error) {
  SP_DEVINFO_DATA data = ToDeviceData(device);
  return Answer(SetupDiDestroyDriverInfoList(ToSet(set), &data, SPDIT_COMPATDRIVER), error);
}

bool SetupApiPlatform::GetSelectedDriver(DeviceSet set, const DeviceInfo& device, DriverInfo* driver,
                                         uint32_t* error) {
  SP_DEVINFO_DATA data = ToDeviceData(device);
  SP_DRVINFO_DATA_W raw{};
  raw.cbSize = sizeof raw;
  if (!Answer(SetupDiGetSelectedDriverW(ToSet(set), &data, &raw), error)) return false;
  driver->driverType = raw.DriverType;
  driver->description = WideText(U(raw.Description));
  driver->manufacturer = WideText(U(raw.MfgName));
  driver->provider = WideText(U(raw.ProviderName));
  driver->date = (uint64_t{raw.DriverDate.dwHighDateTime} << 32) | raw.DriverDate.dwLowDateTime;
  driver->version = raw.DriverVersion;
  driver->reserved = raw.Reserved;
  return true;
}

bool SetupApiPlatform::InstallDevice(WindowHandle parent, DeviceSet set, const DeviceInfo& device,
                                     const DriverInfo& driver, uint32_t flags, bool* needsReboot,
                                     uint32_t* error) {
  SetReboot(needsReboot, FALSE);
  if (!installDevice_) return Missing(error);
  SP_DEVINFO_DATA data = ToDeviceData(device);
  SP_DRVINFO_DATA_W raw = ToDriverData(driver);
  BOOL reboot = FALSE;
  const BOOL ok = reinterpret_cast<InstallDeviceFn>(installDevice_)(ToWindow(parent), ToSet(set), &data,
                                                                    &raw, flags, &reboot);
  SetReboot(needsReboot, reboot);
  return Answer(ok, error);
}

}  // namespace pyr
