#include <gtest/gtest.h>
#include <windows.h>

#include <array>

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
  static DWORD ValueCount() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kSubkey, 0, KEY_READ, &key) != ERROR_SUCCESS) return 0;
    DWORD count = 0;
    RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr,
                     nullptr, nullptr, nullptr);
    RegCloseKey(key);
    return count;
  }
  static DWORD RawDword(const wchar_t* name, DWORD* type) {
    DWORD value = 0, size = sizeof(value);
    *type = REG_NONE;
    RegGetValueW(HKEY_CURRENT_USER, kSubkey, name, RRF_RT_ANY, type, &value, &size);
    return value;
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

TEST_F(RegistryKeyTest, SettingsGoToTheRealKeyAsFourteenDwords) {
  SetRaw(L"AppFlag", REG_DWORD, std::array<BYTE, 4>{0x07, 0x00, 0x01, 0x00}.data(), 4);
  RegistryKey key;
  StoredSettings stored;
  ASSERT_TRUE(ReadStoredSettings(key, stored));
  ASSERT_EQ(stored.appFlag, 0x10007u);

  SettingsToSave save;
  save.window = PixelSize{1024, 720};
  for (int i = 0; i < kDeviceColumnCount; ++i) save.columnWidths[i] = DeviceColumns()[i].defaultWidth;
  save.columnWidths[4] = 0;
  save.columnWidths[8] = 333;
  save.appFlag = *stored.appFlag & ~kAppFlagNoStartupTip;
  save.listFlag = 2;
  ASSERT_TRUE(WriteSettings(key, save));
  key.Close();

  EXPECT_EQ(ValueCount(), 14u);
  const wchar_t* names[] = {L"WindowCx", L"WindowCy", L"LvCol0", L"LvCol1", L"LvCol2",
                            L"LvCol3",   L"LvCol4",   L"LvCol5", L"LvCol6", L"LvCol7",
                            L"LvCol8",   L"LvCol9",   L"AppFlag", L"ListFlag"};
  const DWORD values[] = {1024, 720, 270, 120, 120, 150, 100, 120, 100, 200, 333, 300, 0x10006, 2};
  for (size_t i = 0; i < std::size(names); ++i) {
    DWORD type = 0;
    EXPECT_EQ(RawDword(names[i], &type), values[i]) << i;
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD)) << i;
  }

  StoredSettings again;
  ASSERT_TRUE(ReadStoredSettings(key, again));
  EXPECT_EQ(again.windowCx, 1024u);
  EXPECT_EQ(again.listFlag, 2u);
  EXPECT_EQ(ColumnWidthAtLoad(again, 4), 100);
}

}  // namespace
}  // namespace pyr
