// The sandbox's class pictures as icons, read from the icon resources of a module (the sandbox
// executable itself, or that file loaded as data).
#pragma once

#include <windows.h>

#include "devices/guid.h"
#include "sandbox/simulated_pc.h"

namespace pyr {

// The picture of the class, at size x size pixels, or the fallback picture for a class the PC
// does not know or that has no picture of its own. The caller destroys the icon; nullptr when the
// module has no such picture.
HICON LoadClassPicture(HMODULE module, const SimulatedPc& pc, const Guid& classGuid, int size);

// One icon resource by name, at size x size pixels; nullptr when the module has none.
HICON LoadIconResource(HMODULE module, const char16_t* name, int size);

}  // namespace pyr
