// Turns a device property value (DEVPROPTYPE and bytes) into display texts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/wide_text.h"

namespace pyr {

class DevicePlatform;

// Empties texts, then appends the value's texts and returns their count (0 = nothing usable).
// Reads at most size bytes of value. The platform, when given, converts security descriptors
// and indirect strings; without it those give nothing.
uint32_t FormatPropertyValue(uint32_t type, const uint8_t* value, size_t size,
                             DevicePlatform* platform, std::vector<WideText>* texts);

}  // namespace pyr
