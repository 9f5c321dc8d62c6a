// The one registry key the settings live in, seen as a store of 32-bit values. The program uses
// RegistryKey (app/win32/registry_key.h); tests and the Linux build use MemorySettingsKey.
#pragma once

#include <cstdint>
#include <string_view>

namespace pyr {

class SettingsKey {
 public:
  virtual ~SettingsKey() = default;

  // Closes the held key, then opens path ("HKCU\Software\..."); access kCreateOrOpen creates a
  // missing key. True when a key is held afterwards.
  virtual bool Open(std::u16string_view path, uint32_t access) = 0;
  virtual void Close() = 0;
  virtual bool IsOpen() const = 0;
  // out is 0 unless the value exists as a 4-byte REG_DWORD; an empty name is the default value.
  virtual bool ReadDword(std::u16string_view name, uint32_t& out) = 0;
  // False when no key is held or the write fails.
  virtual bool WriteDword(std::u16string_view name, uint32_t value) = 0;
};

}  // namespace pyr
