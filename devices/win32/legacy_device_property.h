// The older calls that hold the same facts as the unified device properties, for systems that
// do not know a key: registry properties, the instance ID, the devnode status and the driver key.
#pragma once

#include <windows.h>
#include <setupapi.h>

#include <cstdint>
#include <vector>

#include "devices/guid.h"

namespace pyr {

// The value of key in the unified call's form (DEVPROPTYPE and bytes); false when the older
// calls do not have it either.
bool ReadLegacyDeviceProperty(HDEVINFO set, SP_DEVINFO_DATA* device, const DevPropKey& key,
                              uint32_t* type, std::vector<uint8_t>* bytes);

}  // namespace pyr
