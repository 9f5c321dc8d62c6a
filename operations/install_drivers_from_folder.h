// "Install drivers from folder": every INF below a picked folder offered to the system.
#pragma once

#include "operations/operation_host.h"

namespace pyr {

// Drivers installed, or -1 when the folder pick is cancelled. The picker opens at startFolder
// when one is given.
int InstallDriversFromFolder(OperationHost& host, const WideText& startFolder = WideText());

// The same for packages that were removed with their devices: those devices are gone, so once
// the packages are back in the store the hardware is scanned, and what is connected takes them
// again. Packages put back, or -1 when the pick is cancelled.
int PutBackDriverPackages(OperationHost& host, const WideText& startFolder);

}  // namespace pyr
