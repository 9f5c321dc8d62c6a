#include "app/win32/registry_key.h"

#include <string>

#include "app/key_path.h"
#include "base/win32/wchar.h"

namespace pyr {

bool RegistryKey::Open(std::u16string_view path, uint32_t access) {
  Close();
  const KeyPath parsed = ParseKeyPath(path, access);
  if (parsed.root == RootKey::kNone) return false;
  const HKEY root = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<uint32_t>(parsed.root)));
  HKEY key = nullptr;
  LSTATUS status;
  if (parsed.createOrOpen) {
    status = RegCreateKeyExW(root, W(parsed.subkey.c_str()), 0, nullptr, REG_OPTION_NON_VOLATILE,
                             parsed.access, nullptr, &key, nullptr);
  } else {
    status = RegOpenKeyExW(root, W(parsed.subkey.c_str()), 0, parsed.access, &key);
  }
  if (status != ERROR_SUCCESS) return false;
  key_ = key;
  return true;
}

void RegistryKey::Close() {
  if (Held()) RegCloseKey(key_);
  key_ = nullptr;
}

bool RegistryKey::ReadDword(std::u16string_view name, uint32_t& out) {
  out = 0;
  if (!Held()) return false;
  const std::u16string valueName(name);
  DWORD type = 0;
  DWORD value = 0;
  DWORD size = sizeof(value);
  const LSTATUS status = RegQueryValueExW(key_, W(valueName.c_str()), nullptr, &type,
                                          reinterpret_cast<BYTE*>(&value), &size);
  // A REG_DWORD written with fewer bytes would leave part of the number undefined.
  if (status != ERROR_SUCCESS || type != REG_DWORD || size != sizeof(value)) return false;
  out = value;
  return true;
}

bool RegistryKey::WriteDword(std::u16string_view name, uint32_t value) {
  if (!Held()) return false;
  const std::u16string valueName(name);
  const DWORD data = value;
  return RegSetValueExW(key_, W(valueName.c_str()), 0, REG_DWORD,
                        reinterpret_cast<const BYTE*>(&data), sizeof(data)) == ERROR_SUCCESS;
}

}  // namespace pyr
