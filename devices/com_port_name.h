// The COM number a port holds, as the Ports class installer writes it into the friendly name
// ("USB Serial Device (COM13)").
#pragma once

#include <cstdint>
#include <vector>

#include "base/wide_text.h"

namespace pyr {

// The n of a trailing "(COMn)", 1 to 4096 (COMDB_MAX_PORTS_ARBITRATED); 0 when there is none.
uint32_t ComPortNumberOfName(std::u16string_view name);

// "COM4, COM10, COM13": the numbers in ascending order, each once.
WideText ComPortListText(std::vector<uint32_t> numbers);

}  // namespace pyr
