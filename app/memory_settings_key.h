// An in-memory registry and a SettingsKey on top of it, following the registry's rules: keys and
// value names ignore case, a read-only open of a missing key fails, values keep their type.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/key_path.h"
#include "app/settings_key.h"

namespace pyr {

inline constexpr uint32_t kRegString = 1;
inline constexpr uint32_t kRegBinary = 3;
inline constexpr uint32_t kRegDword = 4;

class MemoryRegistry {
 public:
  struct Value {
    uint32_t type = kRegDword;
    std::vector<uint8_t> bytes;
  };

  bool KeyExists(std::u16string_view path) const;
  void CreateKey(std::u16string_view path);
  void DeleteKey(std::u16string_view path);
  void SetValue(std::u16string_view path, std::u16string_view name, Value value);
  void SetDword(std::u16string_view path, std::u16string_view name, uint32_t value);
  std::optional<Value> GetValue(std::u16string_view path, std::u16string_view name) const;
  std::optional<uint32_t> GetDword(std::u16string_view path, std::u16string_view name) const;
  size_t ValueCount(std::u16string_view path) const;

  // Makes every later create and write fail, like a profile the user may not write to.
  void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }
  bool ReadOnly() const { return readOnly_; }

 private:
  // Key: "<root number>\<lower-case subkey>"; value names lower-cased too.
  static std::u16string KeyName(std::u16string_view path);
  std::map<std::u16string, std::map<std::u16string, Value>> keys_;
  bool readOnly_ = false;
};

class MemorySettingsKey : public SettingsKey {
 public:
  explicit MemorySettingsKey(MemoryRegistry& registry) : registry_(registry) {}

  bool Open(std::u16string_view path, uint32_t access) override;
  void Close() override { path_.reset(); }
  bool IsOpen() const override { return path_.has_value(); }
  bool ReadDword(std::u16string_view name, uint32_t& out) override;
  bool WriteDword(std::u16string_view name, uint32_t value) override;

  int OpenCount() const { return openCount_; }

 private:
  MemoryRegistry& registry_;
  std::optional<std::u16string> path_;
  bool writable_ = false;
  int openCount_ = 0;
};

}  // namespace pyr
