// "Install drivers from folder": every INF below a picked folder offered to the system.
#pragma once

#include "operations/operation_host.h"

namespace pyr {

// Drivers installed, or -1 when the folder pick is cancelled. The picker opens at startFolder
// when one is given.
int InstallDriversFromFolder(OperationHost& host, const WideText& startFolder = WideText());

}  // namespace pyr
