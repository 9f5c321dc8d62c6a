// RegistryKey: owns one open registry key and reads and writes 32-bit values in it.
#pragma once

#include <windows.h>

#include "app/settings_key.h"

namespace pyr {

class RegistryKey : public SettingsKey {
 public:
  RegistryKey() = default;
  ~RegistryKey() override { Close(); }
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;

  bool Open(std::u16string_view path, uint32_t access) override;
  void Close() override;
  bool IsOpen() const override { return Held(); }
  bool ReadDword(std::u16string_view name, uint32_t& out) override;
  bool WriteDword(std::u16string_view name, uint32_t value) override;

  HKEY Handle() const { return key_; }

 private:
  bool Held() const { return key_ != nullptr && key_ != reinterpret_cast<HKEY>(INVALID_HANDLE_VALUE); }
  HKEY key_ = nullptr;
};

}  // namespace pyr
