#include "app/settings.h"

#include <string>

#include "app/key_path.h"
#include "base/wide_text.h"

namespace pyr {
namespace {

// A column wider than this is taken for damage: list widths are 16-bit screen coordinates, and a
// value with the top bit set would reach the list as a negative (auto-size) code.
constexpr uint32_t kLargestColumnWidth = 0x7FFF;

std::u16string ColumnValueName(int column) {
  return u"LvCol" + WideText::FromInt32(column).Str();
}

std::u16string PackageColumnValueName(int column) {
  return u"PkgCol" + WideText::FromInt32(column).Str();
}

// A width as the list can take it: larger values are damage.
std::optional<uint32_t> Width(std::optional<uint32_t> width) {
  if (width && *width > kLargestColumnWidth) width.reset();
  return width;
}

std::optional<uint32_t> Read(SettingsKey& key, std::u16string_view name) {
  uint32_t value = 0;
  if (!key.ReadDword(name, value)) return std::nullopt;
  return value;
}

int ChooseDimension(int current, int screen, int largeScreen, int largeSize,
                    std::optional<uint32_t> stored) {
  const int fallback = screen < largeScreen ? current : largeSize;
  if (!stored) return fallback;
  const int64_t value = *stored;
  if (value < current || value > screen) return fallback;
  return static_cast<int>(value);
}

}  // namespace

bool ReadStoredSettings(SettingsKey& key, StoredSettings& out) {
  out = StoredSettings();
  if (!key.Open(kSettingsKeyPath, kKeyRead)) return false;
  out.windowCx = Read(key, u"WindowCx");
  out.windowCy = Read(key, u"WindowCy");
  for (int i = 0; i < kDeviceColumnCount; ++i) {
    out.columns[i] = Width(Read(key, ColumnValueName(i)));
  }
  out.appFlag = Read(key, u"AppFlag");
  out.listFlag = Read(key, u"ListFlag");
  out.packagesView = Read(key, u"PackagesView");
  for (int i = 0; i < kPackageColumnCount; ++i) {
    out.packageColumns[i] = Width(Read(key, PackageColumnValueName(i)));
  }
  return true;
}

PixelSize ChooseWindowSize(PixelSize current, PixelSize screen, const StoredSettings& stored) {
  return {ChooseDimension(current.cx, screen.cx, 1201, 1000, stored.windowCx),
          ChooseDimension(current.cy, screen.cy, 801, 700, stored.windowCy)};
}

PixelPoint CentredPosition(PixelSize screen, PixelSize window) {
  return {(screen.cx - window.cx) / 2, (screen.cy - window.cy) / 2};
}

int ColumnWidthAtLoad(const StoredSettings& stored, int column) {
  if (column < 0 || column >= kDeviceColumnCount) return 0;
  const std::optional<uint32_t>& width = stored.columns[column];
  return width ? static_cast<int>(*width) : DeviceColumns()[column].defaultWidth;
}

int ColumnWidthToSave(int measured, int column) {
  if (column < 0 || column >= kDeviceColumnCount) return measured;
  return measured == 0 ? DeviceColumns()[column].defaultWidth : measured;
}

int PackageColumnWidthAtLoad(const StoredSettings& stored, int column) {
  if (column < 0 || column >= kPackageColumnCount) return 0;
  const std::optional<uint32_t>& width = stored.packageColumns[column];
  return width ? static_cast<int>(*width) : PackageColumnOf(column).defaultWidth;
}

int PackageColumnWidthToSave(int measured, int column) {
  if (column < 0 || column >= kPackageColumnCount) return measured;
  return measured == 0 ? PackageColumnOf(column).defaultWidth : measured;
}

bool WriteSettings(SettingsKey& key, const SettingsToSave& settings) {
  if (!key.Open(kSettingsKeyPath, kCreateOrOpen)) return false;
  // Failures of single values are not reported: the next exit writes them again.
  if (settings.window) {
    key.WriteDword(u"WindowCx", static_cast<uint32_t>(settings.window->cx));
    key.WriteDword(u"WindowCy", static_cast<uint32_t>(settings.window->cy));
  }
  for (int i = 0; i < kDeviceColumnCount; ++i) {
    key.WriteDword(ColumnValueName(i),
                   static_cast<uint32_t>(ColumnWidthToSave(settings.columnWidths[i], i)));
  }
  key.WriteDword(u"AppFlag", settings.appFlag);
  key.WriteDword(u"ListFlag", settings.listFlag);
  key.WriteDword(u"PackagesView", settings.packagesView ? 1 : 0);
  for (int i = 0; i < kPackageColumnCount; ++i) {
    key.WriteDword(PackageColumnValueName(i),
                   static_cast<uint32_t>(PackageColumnWidthToSave(settings.packageColumnWidths[i], i)));
  }
  return true;
}

}  // namespace pyr
