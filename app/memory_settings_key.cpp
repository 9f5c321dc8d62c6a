#include "app/memory_settings_key.h"

#include <cstring>

#include "base/wide_text.h"

namespace pyr {
namespace {

std::u16string Lower(std::u16string_view text) {
  std::u16string out(text);
  for (char16_t& c : out) c = LowerUnit(c);
  return out;
}

}  // namespace

std::u16string MemoryRegistry::KeyName(std::u16string_view path) {
  const KeyPath parsed = ParseKeyPath(path, kKeyRead);
  if (parsed.root == RootKey::kNone) return {};
  std::u16string name = WideText::FromUInt32(static_cast<uint32_t>(parsed.root)).Str();
  name += u'\\';
  std::u16string subkey = Lower(parsed.subkey);
  while (!subkey.empty() && subkey.back() == u'\\') subkey.pop_back();
  return name + subkey;
}

bool MemoryRegistry::KeyExists(std::u16string_view path) const {
  const std::u16string name = KeyName(path);
  return !name.empty() && keys_.count(name) != 0;
}

void MemoryRegistry::CreateKey(std::u16string_view path) {
  const std::u16string name = KeyName(path);
  if (!name.empty()) keys_[name];
}

void MemoryRegistry::DeleteKey(std::u16string_view path) { keys_.erase(KeyName(path)); }

void MemoryRegistry::SetValue(std::u16string_view path, std::u16string_view name, Value value) {
  const std::u16string key = KeyName(path);
  if (!key.empty()) keys_[key][Lower(name)] = std::move(value);
}

void MemoryRegistry::SetDword(std::u16string_view path, std::u16string_view name, uint32_t value) {
  Value v;
  v.bytes.resize(4);
  std::memcpy(v.bytes.data(), &value, 4);
  SetValue(path, name, std::move(v));
}

std::optional<MemoryRegistry::Value> MemoryRegistry::GetValue(std::u16string_view path,
                                                              std::u16string_view name) const {
  const auto key = keys_.find(KeyName(path));
  if (key == keys_.end()) return std::nullopt;
  const auto value = key->second.find(Lower(name));
  if (value == key->second.end()) return std::nullopt;
  return value->second;
}

std::optional<uint32_t> MemoryRegistry::GetDword(std::u16string_view path,
                                                 std::u16string_view name) const {
  const std::optional<Value> v = GetValue(path, name);
  if (!v || v->type != kRegDword || v->bytes.size() != 4) return std::nullopt;
  uint32_t out = 0;
  std::memcpy(&out, v->bytes.data(), 4);
  return out;
}

size_t MemoryRegistry::ValueCount(std::u16string_view path) const {
  const auto key = keys_.find(KeyName(path));
  return key == keys_.end() ? 0 : key->second.size();
}

bool MemorySettingsKey::Open(std::u16string_view path, uint32_t access) {
  Close();
  ++openCount_;
  const KeyPath parsed = ParseKeyPath(path, access);
  if (parsed.root == RootKey::kNone) return false;
  if (parsed.createOrOpen) {
    if (registry_.ReadOnly()) return false;
    registry_.CreateKey(path);
  } else if (!registry_.KeyExists(path)) {
    return false;
  }
  path_ = std::u16string(path);
  writable_ = parsed.createOrOpen || (parsed.access & 0x6) != 0;  // KEY_SET_VALUE | KEY_CREATE_SUB_KEY
  return true;
}

bool MemorySettingsKey::ReadDword(std::u16string_view name, uint32_t& out) {
  out = 0;
  if (!path_) return false;
  const std::optional<uint32_t> v = registry_.GetDword(*path_, name);
  if (!v) return false;
  out = *v;
  return true;
}

bool MemorySettingsKey::WriteDword(std::u16string_view name, uint32_t value) {
  if (!path_ || !writable_ || registry_.ReadOnly()) return false;
  registry_.SetDword(*path_, name, value);
  return true;
}

}  // namespace pyr
