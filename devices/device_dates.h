// The dates Windows keeps for a device (first install, last arrival, last removal) and the age
// rule that picks devices not present for longer than a number of days.
#pragma once

#include <cstdint>
#include <optional>

#include "devices/device_platform.h"
#include "devices/property_keys.h"
#include "devices/property_reader.h"

namespace pyr {

inline constexpr uint64_t kFileTimeDay = 864000000000ULL;  // 100-ns units in a day

// "Last connected": when a device not present went away, when a present one arrived.
inline const DevPropKey& LastConnectedKey(bool present) {
  return present ? devpkey::kLastArrivalDate : devpkey::kLastRemovalDate;
}

// A FILETIME property; empty when the system does not have it (before Windows 8, Wine).
std::optional<uint64_t> ReadDeviceDate(PropertyReader& reader, DeviceSet set,
                                       const DeviceInfo& device, const DevPropKey& key);

// Whether a device last connected at lastConnected has been away more than days whole days
// by now. No date is never old, and a date after now (a clock set wrong) is not old either.
// The list's date-and-time text of a FILETIME, as its date cells show it.
WideText DeviceDateText(uint64_t fileTime);

bool AbsentLongerThan(std::optional<uint64_t> lastConnected, uint64_t now, uint32_t days);

}  // namespace pyr
