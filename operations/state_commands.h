// Changing the run state of devices: disable, enable, restart, and the context item that
// toggles one device between disabled and enabled.
#pragma once

#include "operations/operation_host.h"

namespace pyr {

// Which rows a command acts on: menu commands and their keys take the checked rows in row order,
// context-menu commands the selected row. Taken when the command needs them, never before.
enum class RowSource { kChecked, kSelected };

std::vector<int> RowsOf(const DeviceList& list, RowSource source);

void DisableCheckedDevices(OperationHost& host);
void EnableCheckedDevices(OperationHost& host);
// "Restart checked" (kChecked) and "Restart device" (kSelected).
void RestartDevices(OperationHost& host, RowSource source);
// The context item "Disable device" / "Enable device" on the selected row.
void ToggleSelectedDeviceState(OperationHost& host);

// The context item reads "Enable device" for a disabled row (and for no row at all).
bool RowIsDisabled(const DeviceList& list, int row);

}  // namespace pyr
