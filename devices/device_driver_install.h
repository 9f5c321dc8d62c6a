// A driver installed on one device and no other, through the class installer: the element's
// compatible drivers are listed, the best one is selected, compared with the installed one and
// installed with DiInstallDevice. A twin with the same hardware ID keeps its driver, which
// UpdateDriverForPlugAndPlayDevicesW would change too.
#pragma once

#include <cstdint>

#include "devices/device_platform.h"

namespace pyr {

enum class DriverInstallOutcome {
  kInstalled,
  kNotBetter,  // without force: the offer ranks no better than the installed driver
  kFailed,     // nothing installed; error says why
};

struct DriverInstallRequest {
  WindowHandle parent;           // owns the system's prompts (publisher, unsigned driver)
  const char16_t* inf = nullptr;  // an INF anywhere; null: the best driver the store has
  bool force = false;             // install even a driver that ranks no better
};

// The INF is judged where it lies and goes into the driver store only when its driver will be
// installed; a package this call staged is taken out again when the install then fails (Windows
// keeps it if a device uses it after all).
DriverInstallOutcome InstallDeviceDriver(DevicePlatform& platform, DeviceSet set,
                                         const DeviceInfo& device, const DriverInstallRequest& request,
                                         bool* needsReboot, uint32_t* error);

// "C:\Windows\INF\oem12.inf" -> "oem12.inf".
WideText FileNameOfPath(const WideText& path);

}  // namespace pyr
