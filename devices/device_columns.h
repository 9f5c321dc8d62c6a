// The device list's columns: one table for their titles, default widths and the column numbers
// that commands read back.
#pragma once

#include <span>

#include "base/wide_text.h"

namespace pyr {

enum DeviceColumn : int {
  kColumnName = 0,
  kColumnStatus = 1,
  kColumnClass = 2,
  kColumnManufacturer = 3,
  kColumnDriverDate = 4,
  kColumnDriverVersion = 5,
  kColumnServiceName = 6,
  kColumnHardwareId = 7,
  kColumnInfPath = 8,
  kColumnInstanceId = 9,
  kColumnLastConnected = 10,
  kColumnInstalled = 11,
  kDeviceColumnCount = 12,
};

struct DeviceColumnInfo {
  const char16_t* title;  // with its leading blank, as the header shows it
  int defaultWidth;
};

// In column order.
std::span<const DeviceColumnInfo> DeviceColumns();

}  // namespace pyr
