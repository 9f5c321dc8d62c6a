// Registry key paths as the settings code writes them: "HKCU\Software\...", with an optional
// "64"/"32" suffix on the root name that picks the registry view.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace pyr {

// The predefined root keys, by their handle values.
enum class RootKey : uint32_t {
  kNone = 0,
  kClassesRoot = 0x80000000,
  kCurrentUser = 0x80000001,
  kLocalMachine = 0x80000002,
  kUsers = 0x80000003,
  kCurrentConfig = 0x80000005,
};

// Access masks of the registry calls.
inline constexpr uint32_t kKeyRead = 0x20019;
inline constexpr uint32_t kKeyReadWrite = 0x2001F;
inline constexpr uint32_t kKeyWow64_64 = 0x100;
inline constexpr uint32_t kKeyWow64_32 = 0x200;
// An access of all ones asks for the key to be created when it does not exist.
inline constexpr uint32_t kCreateOrOpen = 0xFFFFFFFF;

struct KeyPath {
  RootKey root = RootKey::kNone;
  std::u16string subkey;
  // The access mask to pass on: the caller's, or KEY_READ|KEY_WRITE for create-or-open, with the
  // view flag of a "64"/"32" root suffix added.
  uint32_t access = 0;
  bool createOrOpen = false;
};

// Splits a path into its root and subkey. root is kNone when the root name is unknown.
KeyPath ParseKeyPath(std::u16string_view path, uint32_t access);

}  // namespace pyr
