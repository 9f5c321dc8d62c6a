#include "base/os_version.h"

#include <initializer_list>

namespace pyr {

double OsVersionFrom(OsVersionProbe& probe) {
  uint32_t major = 0, minor = 0, build = 0;
  const bool reported = probe.Reported(major, minor, build);
  if (reported) {
    double version = major + minor / 10.0;
    // Up to Windows 8 the reported version is the truth; later systems may report less or more
    // depending on the manifest, so they are probed.
    if (version > 0 && version <= 6.2) return version;
  }
  if (probe.MajorAtLeast(11)) return 11.0;
  if (probe.MajorAtLeast(10)) return (reported && build >= 22000) ? 11.0 : 10.0;
  double base = 0;
  if (probe.MajorEquals(6)) {
    base = 6.0;
  } else if (probe.MajorEquals(5)) {
    base = 5.0;
  } else {
    return 0;
  }
  for (uint32_t m : {3u, 2u, 1u}) {
    if (probe.MinorEquals(m)) return base + m / 10.0;
  }
  return base;
}

}  // namespace pyr
