// "Install drivers from folder": every INF below a picked folder offered to the system.
#pragma once

#include "operations/operation_host.h"

namespace pyr {

// Drivers installed, or -1 when the folder pick is cancelled.
int InstallDriversFromFolder(OperationHost& host);

}  // namespace pyr
