#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "devices/property_format.h"
#include "devices/property_keys.h"
#include "sandbox/simulated_platform.h"

namespace pyr {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Le(uint64_t v, int n) {
  Bytes b;
  for (int i = 0; i < n; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
  return b;
}

// The bytes of a float or a double.
template <typename T>
Bytes Of(T value) {
  uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof value);
  return Le(bits, sizeof value);
}

Bytes Utf16(std::u16string_view s) {
  Bytes b;
  for (char16_t c : s) {
    b.push_back(static_cast<uint8_t>(c));
    b.push_back(static_cast<uint8_t>(c >> 8));
  }
  return b;
}

Bytes Decimal(uint8_t scale, uint8_t sign, uint32_t hi, uint64_t lo) {
  Bytes b = {0, 0, scale, sign}, h = Le(hi, 4), l = Le(lo, 8);
  b.insert(b.end(), h.begin(), h.end());
  b.insert(b.end(), l.begin(), l.end());
  return b;
}

const Bytes kClassGuidBytes = {0x4E, 0x25, 0x5C, 0xA4, 0x1C, 0xDF, 0xFD, 0x4E,
                               0x80, 0x20, 0x67, 0xD1, 0x46, 0xA8, 0x50, 0xE0};

std::vector<std::string> Format(uint32_t type, const Bytes& bytes) {
  std::vector<WideText> texts{WideText(u"left over")};
  uint32_t n = FormatPropertyValue(type, bytes.data(), bytes.size(), nullptr, &texts);
  std::vector<std::string> out;
  for (const WideText& t : texts) out.push_back(t.ToUtf8());
  EXPECT_EQ(n, out.size());
  return out;
}

// An indirect string ("@file,-id") reads as what the system resolves it to, and as nothing when
// the system cannot resolve it.
TEST(FormatPropertyValue, IndirectStringsAsTheSystemResolvesThem) {
  struct Resolving : SimulatedPlatform {
    Resolving() : SimulatedPlatform(SimulatedPc{}) {}
    bool LoadIndirectString(const char16_t* source, WideText* text) override {
      if (std::u16string_view(source) != u"@netcfg.dll,-7") return false;
      *text = WideText(u"Ethernet");
      return true;
    }
  } platform;
  for (const char16_t* source : {u"@netcfg.dll,-7", u"@gone.dll,-1"}) {
    const Bytes bytes = Utf16(source);
    std::vector<WideText> texts;
    const bool resolves = source[1] == u'n';
    EXPECT_EQ(FormatPropertyValue(devprop::kStringIndirect, bytes.data(), bytes.size(), &platform, &texts),
              resolves ? 1u : 0u);
    ASSERT_EQ(texts.size(), resolves ? 1u : 0u);
    EXPECT_TRUE(!resolves || texts[0].ToUtf8() == "Ethernet");
  }
}

struct FormatCase {
  const char* what;
  uint32_t type;
  Bytes bytes;
  std::vector<std::string> texts;
};

TEST(FormatPropertyValue, EveryType) {
  Bytes keyBytes = kClassGuidBytes;
  Bytes pid = Le(37, 4);
  keyBytes.insert(keyBytes.end(), pid.begin(), pid.end());
  const FormatCase cases[] = {
      {"empty", devprop::kEmpty, {1, 2, 3, 4}, {}}, {"null", devprop::kNull, {1, 2, 3, 4}, {}},
      {"sbyte", devprop::kSByte, {0xFF}, {"-1"}}, {"byte", devprop::kByte, {0xFF}, {"255"}},
      {"int16", devprop::kInt16, Le(0x8000, 2), {"-32768"}}, {"uint16", devprop::kUInt16, Le(0x8000, 2), {"32768"}},
      {"int32", devprop::kInt32, Le(0xFFFFFFFE, 4), {"-2"}},
      {"uint32", devprop::kUInt32, Le(0xFFFFFFFF, 4), {"4294967295"}},
      {"int64", devprop::kInt64, Le(0x8000000000000000ull, 8), {"-9223372036854775808"}},
      {"uint64", devprop::kUInt64, Le(~0ull, 8), {"18446744073709551615"}},
      {"float", devprop::kFloat, Of(2.5f), {"2.5"}}, {"double whole", devprop::kDouble, Of(2.0), {"2"}},
      {"decimal", devprop::kDecimal, Decimal(2, 0, 0, 12345), {"123.45"}},
      {"decimal negative", devprop::kDecimal, Decimal(0, 0x80, 0, 42), {"-42"}},
      {"decimal high part", devprop::kDecimal, Decimal(0, 0, 1, 0), {"18446744073709551616"}},
      {"decimal bad scale", devprop::kDecimal, Decimal(29, 0, 0, 1), {}},
      {"guid", devprop::kGuid, kClassGuidBytes, {"{A45C254E-DF1C-4EFD-8020-67D146A850E0}"}},
      {"currency", devprop::kCurrency, Le(0xFFFFFFFFFFFFFFF6ull, 8), {"18446744073709551606"}},
      {"ole date", devprop::kDate, Of(45000.75), {"2023/03/15 18:00:00"}},
      {"ole date out of range", devprop::kDate, Of(1e9), {}},
      {"filetime midnight", devprop::kFileTime, Le(133312608000000000ull, 8),
       {"2023/06/15 00:00:00"}},
      {"filetime high bit", devprop::kFileTime, Le(0x8000000000000000ull, 8), {}},
      {"boolean two", devprop::kBoolean, {2}, {"True"}}, {"boolean zero", devprop::kBoolean, {0}, {"False"}},
      {"string unterminated", devprop::kString, Utf16(u"Realtek"), {"Realtek"}},
      {"string stops at zero", devprop::kString, Utf16(std::u16string(u"ab\0cd", 5)), {"ab"}},
      {"string odd size", devprop::kString, {'a', 0, 'b'}, {"a"}},
      {"sddl string", devprop::kSecurityDescriptorString, Utf16(u"D:P(A;;GA;;;SY)"),
       {"D:P(A;;GA;;;SY)"}},
      {"security descriptor without converter", devprop::kSecurityDescriptor, Bytes(64, 1), {}},
      {"property key", devprop::kDevPropKey, keyBytes,
       {"{A45C254E-DF1C-4EFD-8020-67D146A850E0}", "37"}},
      {"property type", devprop::kDevPropType, Le(0x2012, 4), {"8210"}},
      {"error", devprop::kError, Le(5, 4), {"0x00000005 (5)"}},
      {"ntstatus", devprop::kNtStatus, Le(0xC0000001, 4), {"0xC0000001 (-1073741823)"}},
      {"indirect without converter", devprop::kStringIndirect, Utf16(u"@x.dll,-1"), {}},
      {"binary", devprop::kBinary, {0x0A, 0xFF, 0x00, 0x7C}, {"0AFF007C"}},
      {"string list", devprop::kStringList, Utf16(std::u16string(u"a\0bc\0\0", 6)), {"a", "bc"}},
      {"string list stops at an empty string", devprop::kStringList,
       Utf16(std::u16string(u"one\0two\0\0three\0\0", 17)), {"one", "two"}},
      {"string list unterminated", devprop::kStringList, Utf16(std::u16string(u"ab\0cd", 5)),
       {"ab", "cd"}},
      {"string list starting empty", devprop::kStringList, Utf16(std::u16string(u"\0\0", 2)), {}},
      {"unknown type", 0x9999, {1, 2, 3, 4}, {}},
  };
  for (const FormatCase& c : cases) EXPECT_EQ(Format(c.type, c.bytes), c.texts) << c.what;
}

// A value one byte shorter than its type needs gives nothing; with enough it gives a text.
TEST(FormatPropertyValue, ShortValuesGiveNothing) {
  const struct {
    uint32_t type;
    size_t least;
  } cases[] = {
      {devprop::kSByte, 1},      {devprop::kByte, 1},         {devprop::kInt16, 2},
      {devprop::kUInt16, 2},     {devprop::kInt32, 4},        {devprop::kUInt32, 4},
      {devprop::kInt64, 8},      {devprop::kUInt64, 8},       {devprop::kFloat, 4},
      {devprop::kDouble, 8},     {devprop::kDecimal, 16},     {devprop::kGuid, 16},
      {devprop::kCurrency, 8},   {devprop::kDate, 8},         {devprop::kFileTime, 8},
      {devprop::kBoolean, 1},    {devprop::kString, 2},       {devprop::kSecurityDescriptorString, 2},
      {devprop::kDevPropKey, 20}, {devprop::kDevPropType, 4}, {devprop::kError, 4},
      {devprop::kNtStatus, 4},   {devprop::kStringList, 4},
  };
  for (const auto& c : cases) {
    // Zero is a valid number, date and GUID; strings get one letter.
    Bytes enough(c.least, 0);
    enough[0] = 'A';
    if (c.type == devprop::kDecimal) enough[0] = 0;
    EXPECT_EQ(Format(c.type, Bytes(enough.begin(), enough.end() - 1)).size(), 0u) << "type " << c.type;
    EXPECT_GE(Format(c.type, enough).size(), 1u) << "type " << c.type;
  }
}

TEST(FormatPropertyValue, NullValueGivesNothing) {
  std::vector<WideText> texts;
  EXPECT_EQ(FormatPropertyValue(devprop::kString, nullptr, 16, nullptr, &texts), 0u);
  EXPECT_TRUE(texts.empty());
}

}  // namespace
}  // namespace pyr
