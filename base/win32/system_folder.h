#pragma once

#include "base/wide_text.h"

namespace pyr {

// The System32 folder; empty when the system cannot say.
WideText SystemFolder();
// The machine's program data folder (FOLDERID_ProgramData); empty when the system cannot say.
WideText ProgramDataPath();

}  // namespace pyr
