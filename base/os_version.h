// Which Windows version is running, as major + minor / 10.
#pragma once

#include <cstdint>

namespace pyr {

// The questions the version decision asks of the system.
class OsVersionProbe {
 public:
  virtual ~OsVersionProbe() = default;
  // False when GetVersionExW is not there.
  virtual bool Reported(uint32_t& major, uint32_t& minor, uint32_t& build) = 0;
  virtual bool MajorAtLeast(uint32_t major) = 0;
  virtual bool MajorEquals(uint32_t major) = 0;
  virtual bool MinorEquals(uint32_t minor) = 0;
};

// The decision itself, apart from the system calls.
double OsVersionFrom(OsVersionProbe& probe);

// The running system's version (Windows only).
double OsVersion();

}  // namespace pyr
