// The registry key wrapper on the real registry. The settings' own rules are checked natively;
// the main window's tests read and write them through this key.
#include <gtest/gtest.h>
#include <windows.h>

#include "app/key_path.h"
#include "app/settings.h"
#include "app/win32/registry_key.h"

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

TEST_F(RegistryKeyTest, ReadOnlyOpenOfAMissingKeyFailsAndCreateOrOpenMakesIt) {
  RegistryKey key;
  EXPECT_FALSE(key.Open(kSettingsKeyPath, kKeyRead));
  EXPECT_FALSE(key.IsOpen());
  EXPECT_FALSE(key.WriteDword(u"WindowCx", 5));
  uint32_t out = 7;
  EXPECT_FALSE(key.ReadDword(u"WindowCx", out));
  EXPECT_EQ(out, 0u);

  ASSERT_TRUE(key.Open(kSettingsKeyPath, kCreateOrOpen));
  EXPECT_TRUE(key.WriteDword(u"WindowCx", 1234));
  EXPECT_TRUE(key.ReadDword(u"WindowCx", out));
  EXPECT_EQ(out, 1234u);
  // Reopening read-only closes the write handle first and still sees the value.
  ASSERT_TRUE(key.Open(u"hkey_current_user\\software\\tolvenor\\pyravel", kKeyRead));
  EXPECT_TRUE(key.ReadDword(u"windowcx", out));
  EXPECT_EQ(out, 1234u);
  EXPECT_FALSE(key.WriteDword(u"WindowCx", 1)) << "a read-only key must refuse writes";
}

TEST_F(RegistryKeyTest, OnlyFourByteDwordsAreRead) {
  const wchar_t text[] = L"1300";
  SetRaw(L"WindowCx", REG_SZ, text, sizeof(text));
  const BYTE two[] = {0x10, 0x01};
  SetRaw(L"WindowCy", REG_DWORD, two, sizeof(two));
  const ULONGLONG wide = 5;
  SetRaw(L"LvCol0", REG_QWORD, &wide, sizeof(wide));
  const DWORD fine = 0xDEADBEEF;
  SetRaw(L"LvCol1", REG_DWORD, &fine, sizeof(fine));
  SetRaw(L"", REG_DWORD, &fine, sizeof(fine));

  RegistryKey key;
  ASSERT_TRUE(key.Open(kSettingsKeyPath, kKeyRead));
  uint32_t out = 1;
  EXPECT_FALSE(key.ReadDword(u"WindowCx", out));
  EXPECT_EQ(out, 0u);
  EXPECT_FALSE(key.ReadDword(u"WindowCy", out));
  EXPECT_FALSE(key.ReadDword(u"LvCol0", out));
  EXPECT_FALSE(key.ReadDword(u"Missing", out));
  EXPECT_TRUE(key.ReadDword(u"LvCol1", out));
  EXPECT_EQ(out, 0xDEADBEEFu);
  out = 0;
  EXPECT_TRUE(key.ReadDword(u"", out)) << "an empty name is the default value";
  EXPECT_EQ(out, 0xDEADBEEFu);
}

TEST_F(RegistryKeyTest, ViewSuffixesAndUnknownRoots) {
  RegistryKey key;
  EXPECT_TRUE(key.Open(u"HKLM64\\Software", kKeyRead));
  EXPECT_TRUE(key.Open(u"HKLM32\\Software", kKeyRead));
  EXPECT_TRUE(key.Open(u"HKCU", kKeyRead));
  EXPECT_FALSE(key.Open(u"HKXX\\Software", kKeyRead));
  EXPECT_FALSE(key.IsOpen()) << "a failed open leaves no key held";
}

}  // namespace
}  // namespace pyr
