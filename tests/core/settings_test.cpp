#include <gtest/gtest.h>

#include "app/memory_settings_key.h"
#include "app/settings.h"

namespace pyr {
namespace {

// The creation size of the main window: a 750 x 550 client area plus a normal frame.
constexpr PixelSize kCreated{766, 589};

class SettingsTest : public ::testing::Test {
 protected:
  StoredSettings Load() {
    StoredSettings stored;
    opened_ = ReadStoredSettings(key_, stored);
    return stored;
  }
  void Store(std::u16string_view name, uint32_t value) {
    registry_.SetDword(kSettingsKeyPath, name, value);
  }

  MemoryRegistry registry_;
  MemorySettingsKey key_{registry_};
  bool opened_ = false;
};

TEST_F(SettingsTest, WithoutKeyEverythingTakesItsDefaultAndTheRunIsTheFirst) {
  const StoredSettings stored = Load();
  EXPECT_FALSE(opened_);
  EXPECT_EQ(ChooseWindowSize(kCreated, {1920, 1080}, stored), (PixelSize{1000, 700}));
  EXPECT_EQ(ChooseWindowSize(kCreated, {1024, 768}, stored), kCreated);
  EXPECT_EQ(ChooseWindowSize(kCreated, {1280, 768}, stored), (PixelSize{1000, kCreated.cy}));
  EXPECT_FALSE(stored.appFlag.has_value());
  EXPECT_FALSE(stored.listFlag.has_value());
}

TEST_F(SettingsTest, ScreenThresholdsForTheLargerDefault) {
  const std::pair<PixelSize, PixelSize> cases[] = {{{1200, 800}, kCreated}, {{1201, 800}, {1000, kCreated.cy}},
                                                   {{1200, 801}, {kCreated.cx, 700}}, {{1201, 801}, {1000, 700}}};
  for (const auto& [screen, size] : cases) EXPECT_EQ(ChooseWindowSize(kCreated, screen, {}), size) << screen.cx;
}

TEST_F(SettingsTest, StoredWindowSizeIsKeptOnlyBetweenCreationSizeAndScreen) {
  struct Case {
    uint32_t stored;
    int expected;
  };
  const PixelSize screen{1920, 1080};
  const Case widths[] = {
      {1300, 1300},
      {static_cast<uint32_t>(kCreated.cx), kCreated.cx},  // the creation size itself
      {1920, 1920},                                       // exactly the screen width
      {static_cast<uint32_t>(kCreated.cx - 1), 1000},     // smaller than the window may be
      {1921, 1000},                                       // wider than the screen
      {0, 1000},
      {0xFFFFFFFF, 1000},                                 // would be negative as a signed number
  };
  for (const Case& c : widths) EXPECT_EQ(ChooseWindowSize(kCreated, screen, {.windowCx = c.stored}).cx, c.expected);
  const Case heights[] = {{1080, 1080}, {1081, 700}, {588, 700}, {589, 589}, {900, 900}};
  for (const Case& c : heights) EXPECT_EQ(ChooseWindowSize(kCreated, screen, {.windowCy = c.stored}).cy, c.expected);
}

TEST_F(SettingsTest, WindowIsCentredWithIntegerHalves) {
  EXPECT_EQ(CentredPosition({1920, 1080}, {1000, 700}), (PixelPoint{460, 190}));
  EXPECT_EQ(CentredPosition({1281, 1024}, {1000, 701}), (PixelPoint{140, 161}));
  EXPECT_EQ(CentredPosition({800, 600}, {801, 600}), (PixelPoint{0, 0}));
}

TEST_F(SettingsTest, ValuesOfAnotherTypeOrSizeTakeTheirDefaults) {
  registry_.SetValue(kSettingsKeyPath, u"WindowCx", {kRegString, {'1', 0, '3', 0, 0, 0}});
  registry_.SetValue(kSettingsKeyPath, u"WindowCy", {kRegBinary, {0x20, 0x03, 0, 0}});
  registry_.SetValue(kSettingsKeyPath, u"LvCol1", {kRegDword, {0x10, 0x00}});  // two bytes only
  registry_.SetValue(kSettingsKeyPath, u"AppFlag", {kRegBinary, {1, 0, 0, 0}});
  Store(u"LvCol2", 77);
  const StoredSettings stored = Load();
  EXPECT_TRUE(opened_);
  EXPECT_EQ(ChooseWindowSize(kCreated, {1920, 1080}, stored), (PixelSize{1000, 700}));
  EXPECT_EQ(ColumnWidthAtLoad(stored, 1), 120);
  EXPECT_EQ(ColumnWidthAtLoad(stored, 2), 77);
  EXPECT_FALSE(stored.appFlag.has_value());
}

TEST_F(SettingsTest, ColumnWidthsAreTakenAsStoredAndAHiddenColumnIsSavedAtItsDefault) {
  // 0x80000000 would reach the list as a negative code.
  const std::tuple<int, uint32_t, int> cases[] = {{3, 0, 0}, {9, 45, 45}, {0, 0x80000000, 270}, {5, 32767, 32767}, {10, 95, 95}};
  for (const auto& [column, value, width] : cases) Store(Concat({u"LvCol", WideText::FromInt32(column)}).View(), value);
  Store(u"AppFlag", 1);  // stored right after the widths: a read one past them would answer 1
  const StoredSettings stored = Load();
  for (const auto& [column, value, width] : cases) EXPECT_EQ(ColumnWidthAtLoad(stored, column), width) << column;
  EXPECT_EQ(ColumnWidthAtLoad(stored, kDeviceColumnCount), 0);  // one past the last column
  // An older version wrote no LvCol11: "Installed" starts at its default.
  EXPECT_EQ(ColumnWidthAtLoad(stored, kColumnInstalled), 130);
  // Nor anything of the packages view, which starts hidden with its default widths.
  EXPECT_FALSE(stored.packagesView.has_value());
  EXPECT_EQ(PackageColumnWidthAtLoad(stored, kPackageFolder), 300);
  EXPECT_EQ(ColumnWidthToSave(0, 3), 150);
  EXPECT_EQ(ColumnWidthToSave(0, 9), 300);
  EXPECT_EQ(ColumnWidthToSave(45, 9), 45);
}

TEST_F(SettingsTest, SaveWritesEveryValueAndKeepsUnknownAppFlagBits) {
  Store(u"AppFlag", 0x80000105);
  Store(u"ListFlag", 3);
  const StoredSettings stored = Load();
  ASSERT_TRUE(stored.appFlag.has_value());

  SettingsToSave save;
  save.window = PixelSize{1111, 777};
  for (int i = 0; i < kDeviceColumnCount; ++i) save.columnWidths[i] = ColumnWidthAtLoad(stored, i);
  save.columnWidths[3] = 0;
  save.appFlag = *stored.appFlag & ~kAppFlagNoStartupTip;  // the check box ticked again
  save.listFlag = *stored.listFlag;
  save.packagesView = true;
  save.packageColumnWidths[2] = 0;  // hidden: stored at its default
  save.packageColumnWidths[8] = 333;
  registry_.DeleteKey(kSettingsKeyPath);
  ASSERT_TRUE(WriteSettings(key_, save));

  EXPECT_EQ(registry_.ValueCount(kSettingsKeyPath), 16u + 1 + kPackageColumnCount);
  for (const auto& [name, value] : {std::pair{u"WindowCx", 1111u}, {u"WindowCy", 777u}, {u"LvCol3", 150u},
                                     {u"LvCol9", 300u}, {u"LvCol11", 130u}, {u"AppFlag", 0x80000104u}, {u"ListFlag", 3u},
                                     {u"PackagesView", 1u}, {u"PkgCol2", 130u}, {u"PkgCol8", 333u}}) {
    EXPECT_EQ(registry_.GetDword(kSettingsKeyPath, name), value) << WideText(name).ToUtf8();
  }

  const StoredSettings again = Load();
  EXPECT_EQ(again.windowCx, 1111u);
  EXPECT_EQ(again.listFlag, 3u);
  EXPECT_EQ(again.packagesView, 1u);
  EXPECT_EQ(ColumnWidthAtLoad(again, 3), 150);
  EXPECT_EQ(PackageColumnWidthAtLoad(again, 8), 333);
}

// Without a measured window no size is written; a key that cannot be made gets nothing; loading
// opens the key read-only.
TEST_F(SettingsTest, SaveAndLoadEdges) {
  SettingsToSave save;
  for (int i = 0; i < kDeviceColumnCount; ++i) save.columnWidths[i] = DeviceColumns()[i].defaultWidth;
  ASSERT_TRUE(WriteSettings(key_, save));
  EXPECT_EQ(registry_.ValueCount(kSettingsKeyPath), 14u + 1 + kPackageColumnCount);
  EXPECT_FALSE(registry_.GetDword(kSettingsKeyPath, u"WindowCx").has_value());
  Load();
  ASSERT_TRUE(opened_);
  EXPECT_FALSE(key_.WriteDword(u"WindowCx", 1));
  registry_.DeleteKey(kSettingsKeyPath);
  registry_.SetReadOnly(true);
  save.window = PixelSize{900, 700};
  EXPECT_FALSE(WriteSettings(key_, save));
  EXPECT_FALSE(registry_.KeyExists(kSettingsKeyPath));
}

}  // namespace
}  // namespace pyr
