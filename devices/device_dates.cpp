#include "devices/device_dates.h"

#include "base/date_time_text.h"

namespace pyr {

std::optional<uint64_t> ReadDeviceDate(PropertyReader& reader, DeviceSet set,
                                       const DeviceInfo& device, const DevPropKey& key) {
  uint8_t bytes[8];
  if (!reader.ReadFixed(set, device, key, bytes, 8)) return std::nullopt;
  uint64_t value = 0;
  for (int i = 7; i >= 0; --i) value = value << 8 | bytes[i];
  // FileTimeToSystemTime refuses values with the top bit set; so does the list.
  if (value >> 63) return std::nullopt;
  return value;
}

WideText DeviceDateText(uint64_t fileTime) {
  CalendarTime time;
  return CalendarFromFileTime(fileTime, &time) ? DateTimeText(time) : WideText();
}

bool AbsentLongerThan(std::optional<uint64_t> lastConnected, uint64_t now, uint32_t days) {
  if (!lastConnected || *lastConnected > now) return false;
  return now - *lastConnected > uint64_t{days} * kFileTimeDay;
}

}  // namespace pyr
