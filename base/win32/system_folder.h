#pragma once

#include "base/wide_text.h"

namespace pyr {

// The System32 folder; empty when the system cannot say.
WideText SystemFolder();

}  // namespace pyr
