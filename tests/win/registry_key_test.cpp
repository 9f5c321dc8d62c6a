// The registry key wrapper on the real registry. The settings' own rules are checked natively;
// the main window's tests read and write them through this key.
#include <gtest/gtest.h>
#include <windows.h>

#include "app/key_path.h"
#include "app/settings.h"
#include "app/win32/registry_key.h"
#include "base/win32/wchar.h"

namespace pyr {
namespace {

constexpr wchar_t kSubkey[] = L"Software\\Tolvenor\\Pyravel";

class RegistryKeyTest : public ::testing::Test {
 protected:
  void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, kSubkey); }
  void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, kSubkey); }

  static void SetRaw(const wchar_t* name, DWORD type, const void* data, DWORD size) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kSubkey, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
  }
};

TEST_F(RegistryKeyTest, OpeningReadOnlyCreatingAndRoots) {
  RegistryKey key;
  EXPECT_FALSE(key.Open(kSettingsKeyPath, kKeyRead));
  uint32_t out = 7;
  EXPECT_FALSE(key.ReadDword(u"WindowCx", out));
  EXPECT_EQ(out, 0u);

  ASSERT_TRUE(key.Open(kSettingsKeyPath, kCreateOrOpen));
  EXPECT_TRUE(key.WriteDword(u"WindowCx", 1234));
  EXPECT_TRUE(key.ReadDword(u"WindowCx", out));
  EXPECT_EQ(out, 1234u);
  // Reopening read-only closes the write handle first.
  ASSERT_TRUE(key.Open(kSettingsKeyPath, kKeyRead));
  EXPECT_FALSE(key.WriteDword(u"WindowCx", 1)) << "a read-only key must refuse writes";
  // A view suffix reaches the registry; an unknown root fails and leaves no key held.
  EXPECT_TRUE(key.Open(u"HKLM64\\Software", kKeyRead));
  EXPECT_FALSE(key.Open(u"HKXX\\Software", kKeyRead));
  EXPECT_FALSE(key.IsOpen());
}

// A four-byte text and a two-byte DWORD are no DWORD.
TEST_F(RegistryKeyTest, OnlyFourByteDwordsAreRead) {
  const DWORD fine = 0xDEADBEEF;
  const struct {
    const wchar_t* name;
    DWORD type;
    const void* data;
    DWORD size;
  } values[] = {{L"WindowCx", REG_SZ, L"1", 4},
                {L"WindowCy", REG_DWORD, "\x10\x01", 2},
                {L"LvCol1", REG_DWORD, &fine, 4}};
  for (const auto& v : values) SetRaw(v.name, v.type, v.data, v.size);
  RegistryKey key;
  ASSERT_TRUE(key.Open(kSettingsKeyPath, kKeyRead));
  for (const auto& v : values) {
    const bool dword = v.type == REG_DWORD && v.size == 4;
    uint32_t out = 1;
    EXPECT_EQ(key.ReadDword(U(v.name), out), dword) << v.size;
    EXPECT_EQ(out, dword ? fine : 0u) << v.size;
  }
  uint32_t out = 1;
  EXPECT_FALSE(key.ReadDword(u"Missing", out));
}

}  // namespace
}  // namespace pyr
