// Putting drivers on devices: the system's update wizard per device, a driver chosen by INF file
// (forced if the user wants), reinstall by uninstalling and re-scanning, and the pairing wizard.
#pragma once

#include "operations/operation_host.h"
#include "operations/state_commands.h"

namespace pyr {

inline constexpr char16_t kForceDriverQuestion[] =
    u"This INF file contains a valid driver for your device, but the one currently installed is a "
    u"better match.\r\n\r\nDo you want to force installing this driver?";
inline constexpr char16_t kReinstalled[] = u"Successfully reinstalled the selected devices.";
inline constexpr char16_t kNotReinstalled[] = u"Failed to reinstall the selected devices.";

// "Update checked devices" (kChecked) and "Update device driver" (kSelected). Returns the number
// of devices the wizard reported as updated.
int UpdateDrivers(OperationHost& host, RowSource source);
// "Change checked device drivers": always the checked rows.
void ChangeDrivers(OperationHost& host);
// "Reinstall checked devices" (kChecked) and "Reinstall device" (kSelected).
void ReinstallDevices(OperationHost& host, RowSource source);

}  // namespace pyr
