// How the simulated PC judges a driver offered for a device: which hardware IDs a package's IDs
// select, the date and version of its DriverVer, whether it betters the installed driver, and
// reading an INF file as the system would.
#pragma once

#include <cstdint>
#include <string_view>

#include "base/wide_text.h"
#include "sandbox/driver_store_files.h"
#include "sandbox/simulated_pc.h"

namespace pyr {

// Whether a package's hardware ID selects a device ID: equal, or a prefix ending at '&'.
bool IdMatches(std::u16string_view packageId, std::u16string_view deviceId);

// DriverVer "MM/DD/YYYY,version": date as a FILETIME, and the version.
struct DriverVer {
  uint64_t date = 0;
  WideText version;
};
DriverVer ParseDriverVer(const WideText& text);

// Whether the offered driver is newer than the device's: a later date, or the same date and a
// higher version. A device without a driver takes any.
bool Betters(const DriverVer& offered, const SimulatedDevice& d);

// Reads an INF file on disk; false when it cannot be read or is not an INF.
bool ReadInf(std::u16string_view path, InfFacts* inf);

}  // namespace pyr
