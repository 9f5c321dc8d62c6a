// Guid and DevPropKey: the portable forms of the system's GUID and DEVPROPKEY.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "base/wide_text.h"

namespace pyr {

// Same layout as the system's GUID: Data1..Data3 are stored little-endian in the 16 bytes that
// a property read returns.
struct Guid {
  uint32_t data1 = 0;
  uint16_t data2 = 0;
  uint16_t data3 = 0;
  std::array<uint8_t, 8> data4{};

  bool IsNull() const { return *this == Guid(); }
  bool operator==(const Guid&) const = default;

  // The 16 bytes of a GUID as the system stores it in memory.
  static Guid FromBytes(const uint8_t* bytes16);
  void ToBytes(uint8_t* bytes16) const;

  // Registry form with braces, upper case: {A45C254E-DF1C-4EFD-8020-67D146A850E0}.
  WideText ToRegistryText() const;
  // Accepts the registry form with or without braces, any letter case; false when malformed.
  static bool Parse(std::u16string_view text, Guid* out);
};

struct DevPropKey {
  Guid fmtid;
  uint32_t pid = 0;
  bool operator==(const DevPropKey&) const = default;
};

}  // namespace pyr
