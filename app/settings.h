// The per-user settings: window size, column widths and the two flag words, and the rules that
// turn stored values into what the window uses. The window code reads its own state and applies
// the result; nothing here touches a window.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "devices/device_columns.h"
#include "driverstore/package_columns.h"
#include "app/settings_key.h"

namespace pyr {

inline constexpr char16_t kSettingsKeyPath[] = u"HKCU\\Software\\Tolvenor\\Pyravel";

// AppFlag bit 0: no startup tip. ListFlag bit 0: devices not present too; bit 1: flat list.
inline constexpr uint32_t kAppFlagNoStartupTip = 0x1;
inline constexpr uint32_t kListFlagShowNotPresent = 0x1;
inline constexpr uint32_t kListFlagFlat = 0x2;

struct PixelSize {
  int cx = 0;
  int cy = 0;
  bool operator==(const PixelSize&) const = default;
};

struct PixelPoint {
  int x = 0;
  int y = 0;
  bool operator==(const PixelPoint&) const = default;
};

// What the key holds; a value that is missing, not a 4-byte REG_DWORD or unusable is absent.
struct StoredSettings {
  std::optional<uint32_t> windowCx = {};
  std::optional<uint32_t> windowCy = {};
  std::array<std::optional<uint32_t>, kDeviceColumnCount> columns = {};
  std::optional<uint32_t> appFlag = {};
  std::optional<uint32_t> listFlag = {};
  // Written since the driver store's packages became a view of their own; absent in older keys.
  std::optional<uint32_t> packagesView = {};
  std::array<std::optional<uint32_t>, kPackageColumnCount> packageColumns = {};
};

// Opens the key read-only and reads the sixteen values and the packages view's twelve; a key an older version wrote has no
// widths for the two date columns, which then start at their defaults. False when the key could
// not be opened, which is how a first run in this profile shows itself; out then holds nothing.
bool ReadStoredSettings(SettingsKey& key, StoredSettings& out);

// The window's size after loading. current is the size the window was created with (it is also
// the smallest size allowed); screen the screen's resolution.
PixelSize ChooseWindowSize(PixelSize current, PixelSize screen, const StoredSettings& stored);
// Top-left corner that centres a window of that size.
PixelPoint CentredPosition(PixelSize screen, PixelSize window);

// Column width to apply at load: the stored one as it is (0 hides the column), else the default.
int ColumnWidthAtLoad(const StoredSettings& stored, int column);
// Column width to store: a hidden (0) column is stored at its default width.
int ColumnWidthToSave(int measured, int column);
// The same two rules for the packages' columns.
int PackageColumnWidthAtLoad(const StoredSettings& stored, int column);
int PackageColumnWidthToSave(int measured, int column);

// What the window hands over for saving.
struct SettingsToSave {
  std::optional<PixelSize> window;  // absent when the window rectangle could not be read
  std::array<int, kDeviceColumnCount> columnWidths{};
  uint32_t appFlag = 0;
  uint32_t listFlag = 0;
  bool packagesView = false;
  std::array<int, kPackageColumnCount> packageColumnWidths{};
};

// Creates or opens the key and writes every value; false only when the key could not be opened.
bool WriteSettings(SettingsKey& key, const SettingsToSave& settings);

}  // namespace pyr
