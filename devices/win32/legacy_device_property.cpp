#include "devices/win32/legacy_device_property.h"

#include <cfgmgr32.h>

#include <cstdio>
#include <string>

#include "base/win32/owners.h"
#include "base/win32/wchar.h"
#include "base/date_time_text.h"
#include "devices/property_keys.h"

namespace pyr {

namespace {

class DriverKey {
 public:
  DriverKey(HDEVINFO set, SP_DEVINFO_DATA* device) {
    // The call answers INVALID_HANDLE_VALUE, not null, when the device has no driver key.
    const HKEY key = SetupDiOpenDevRegKey(set, device, DICS_FLAG_GLOBAL, 0, DIREG_DRV, KEY_READ);
    if (key != INVALID_HANDLE_VALUE) key_.Reset(key);
  }
  bool Valid() const { return key_.Valid(); }
  // The raw value and its registry type; false when absent.
  bool Value(const wchar_t* name, DWORD* regType, std::vector<uint8_t>* data) const {
    if (!Valid()) return false;
    DWORD size = 0;
    if (RegQueryValueExW(key_.Get(), name, nullptr, regType, nullptr, &size) != ERROR_SUCCESS) {
      return false;
    }
    data->assign(size, 0);
    if (RegQueryValueExW(key_.Get(), name, nullptr, regType, data->data(), &size) != ERROR_SUCCESS) {
      return false;
    }
    data->resize(size);
    return true;
  }

 private:
  RegistryKeyOwner key_;
};

// Registry strings need not be terminated; the unified call's strings always are.
void Terminate(std::vector<uint8_t>* bytes, int zeros) {
  if (bytes->size() % 2) bytes->pop_back();
  int have = 0;
  for (size_t i = bytes->size(); i >= 2 && have < zeros; i -= 2) {
    if ((*bytes)[i - 1] || (*bytes)[i - 2]) break;
    ++have;
  }
  for (; have < zeros; ++have) bytes->insert(bytes->end(), {0, 0});
}

bool StringValue(std::vector<uint8_t>* bytes, DWORD regType, uint32_t* type) {
  if (regType != REG_SZ && regType != REG_EXPAND_SZ) return false;
  Terminate(bytes, 1);
  if (bytes->size() <= 2) return false;
  *type = devprop::kString;
  return true;
}

bool RegistryProperty(HDEVINFO set, SP_DEVINFO_DATA* device, DWORD property, DWORD* regType,
                      std::vector<uint8_t>* bytes) {
  DWORD size = 0;
  SetupDiGetDeviceRegistryPropertyW(set, device, property, regType, nullptr, 0, &size);
  if (size == 0) return false;
  bytes->assign(size, 0);
  if (!SetupDiGetDeviceRegistryPropertyW(set, device, property, regType, bytes->data(), size,
                                         &size)) {
    return false;
  }
  bytes->resize(size);
  return true;
}

bool RegistryString(HDEVINFO set, SP_DEVINFO_DATA* device, DWORD property, uint32_t* type,
                    std::vector<uint8_t>* bytes) {
  DWORD regType = 0;
  return RegistryProperty(set, device, property, &regType, bytes) &&
         StringValue(bytes, regType, type);
}

bool RegistryStringList(HDEVINFO set, SP_DEVINFO_DATA* device, DWORD property, uint32_t* type,
                        std::vector<uint8_t>* bytes) {
  DWORD regType = 0;
  if (!RegistryProperty(set, device, property, &regType, bytes) || regType != REG_MULTI_SZ) {
    return false;
  }
  Terminate(bytes, 2);
  if (bytes->size() <= 4) return false;
  *type = devprop::kStringList;
  return true;
}

bool ClassGuidValue(HDEVINFO set, SP_DEVINFO_DATA* device, uint32_t* type,
                    std::vector<uint8_t>* bytes) {
  std::vector<uint8_t> text;
  uint32_t textType = 0;
  if (!RegistryString(set, device, SPDRP_CLASSGUID, &textType, &text)) return false;
  std::u16string s(reinterpret_cast<const char16_t*>(text.data()), text.size() / 2 - 1);
  Guid guid;
  if (!Guid::Parse(s, &guid) || guid.IsNull()) return false;
  bytes->resize(16);
  guid.ToBytes(bytes->data());
  *type = devprop::kGuid;
  return true;
}

bool InstanceIdValue(HDEVINFO set, SP_DEVINFO_DATA* device, uint32_t* type,
                     std::vector<uint8_t>* bytes) {
  DWORD chars = 0;
  SetupDiGetDeviceInstanceIdW(set, device, nullptr, 0, &chars);
  if (chars == 0) return false;
  std::wstring id(chars, L'\0');
  if (!SetupDiGetDeviceInstanceIdW(set, device, id.data(), chars, &chars)) return false;
  id.resize(wcslen(id.c_str()) + 1);
  const auto* p = reinterpret_cast<const uint8_t*>(id.data());
  bytes->assign(p, p + id.size() * 2);
  *type = devprop::kString;
  return id.size() > 1;
}

void PutUInt32(std::vector<uint8_t>* bytes, uint32_t v) {
  bytes->assign({static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8),
                 static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 24)});
}

// Problem code and presence come from the devnode's status; a devnode that does not exist is
// a device that is not present, and has no problem code to tell.
bool StatusValue(SP_DEVINFO_DATA* device, const DevPropKey& key, uint32_t* type,
                 std::vector<uint8_t>* bytes) {
  ULONG status = 0, problem = 0;
  const CONFIGRET cr = CM_Get_DevNode_Status(&status, &problem, device->DevInst, 0);
  if (key == devpkey::kIsPresent) {
    if (cr != CR_SUCCESS && cr != CR_NO_SUCH_DEVINST && cr != CR_NO_SUCH_DEVNODE) return false;
    *type = devprop::kBoolean;
    bytes->assign(1, cr == CR_SUCCESS ? 0xFF : 0);
    return true;
  }
  if (cr != CR_SUCCESS) return false;
  *type = devprop::kUInt32;
  if (key == devpkey::kProblemCode) {
    PutUInt32(bytes, (status & DN_HAS_PROBLEM) ? problem : 0);
  } else {
    PutUInt32(bytes, status);
  }
  return true;
}

// "DriverDateData" holds the FILETIME; older drivers only have "DriverDate" as "M-D-YYYY".
bool DriverDateValue(const DriverKey& key, uint32_t* type, std::vector<uint8_t>* bytes) {
  DWORD regType = 0;
  std::vector<uint8_t> data;
  if (key.Value(L"DriverDateData", &regType, &data) && regType == REG_BINARY && data.size() == 8) {
    *bytes = data;
    *type = devprop::kFileTime;
    return true;
  }
  if (!key.Value(L"DriverDate", &regType, &data) || !StringValue(&data, regType, type)) {
    return false;
  }
  std::string text;
  for (size_t i = 0; i + 1 < data.size(); i += 2) {
    if (!data[i] && !data[i + 1]) break;
    text.push_back(data[i + 1] ? '?' : static_cast<char>(data[i]));
  }
  unsigned m = 0, d = 0, y = 0;
  CalendarTime t;
  uint64_t fileTime = 0;
  if (std::sscanf(text.c_str(), "%u-%u-%u", &m, &d, &y) != 3) return false;
  t.year = static_cast<uint16_t>(y);
  t.month = static_cast<uint16_t>(m);
  t.day = static_cast<uint16_t>(d);
  if (!FileTimeFromCalendar(t, &fileTime)) return false;
  bytes->clear();
  for (int i = 0; i < 8; ++i) bytes->push_back(static_cast<uint8_t>(fileTime >> (8 * i)));
  *type = devprop::kFileTime;
  return true;
}

}  // namespace

bool ReadLegacyDeviceProperty(HDEVINFO set, SP_DEVINFO_DATA* device, const DevPropKey& key,
                              uint32_t* type, std::vector<uint8_t>* bytes) {
  if (key == devpkey::kName) {
    return RegistryString(set, device, SPDRP_FRIENDLYNAME, type, bytes) ||
           RegistryString(set, device, SPDRP_DEVICEDESC, type, bytes);
  }
  const struct {
    DevPropKey key;
    DWORD property;
    bool list;
  } registry[] = {
      {devpkey::kDeviceDesc, SPDRP_DEVICEDESC, false},
      {devpkey::kFriendlyName, SPDRP_FRIENDLYNAME, false},
      {devpkey::kHardwareIds, SPDRP_HARDWAREID, true},
      {devpkey::kService, SPDRP_SERVICE, false},
      {devpkey::kClass, SPDRP_CLASS, false},
      {devpkey::kDriver, SPDRP_DRIVER, false},
      {devpkey::kManufacturer, SPDRP_MFG, false},
      {devpkey::kLocationPaths, SPDRP_LOCATION_PATHS, true},
  };
  for (const auto& r : registry) {
    if (key == r.key) {
      return r.list ? RegistryStringList(set, device, r.property, type, bytes)
                    : RegistryString(set, device, r.property, type, bytes);
    }
  }
  if (key == devpkey::kClassGuid) return ClassGuidValue(set, device, type, bytes);
  if (key == devpkey::kInstanceId) return InstanceIdValue(set, device, type, bytes);
  if (key == devpkey::kProblemCode || key == devpkey::kIsPresent ||
      key == devpkey::kDevNodeStatus) {
    return StatusValue(device, key, type, bytes);
  }
  if (key == devpkey::kDriverDate || key == devpkey::kDriverVersion ||
      key == devpkey::kDriverInfPath) {
    DriverKey driver(set, device);
    if (key == devpkey::kDriverDate) return DriverDateValue(driver, type, bytes);
    DWORD regType = 0;
    const wchar_t* name = key == devpkey::kDriverVersion ? L"DriverVersion" : L"InfPath";
    return driver.Value(name, &regType, bytes) && StringValue(bytes, regType, type);
  }
  return false;
}

}  // namespace pyr
