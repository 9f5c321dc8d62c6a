// What a SecurityReplacement holds on Windows (LocalAlloc blocks, released by its destructor).
#pragma once

#include <windows.h>

#include "base/file_system.h"

namespace pyr {

struct SecurityReplacement::Parts {
  PSID owner = nullptr;   // Administrators
  PSID system = nullptr;  // SYSTEM
  PSID users = nullptr;   // Users, when they may read
  PACL dacl = nullptr;    // full control for both, reading for users if asked, nobody else
};

}  // namespace pyr
