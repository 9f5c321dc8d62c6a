// The main window's commands that uninstall devices, put drivers on them, add one, or re-scan
// the hardware. Each runs to its end here; the reboot question comes from the event loop after.
#include <windows.h>

#include "app/win32/main_operation_host.h"
#include "app/win32/main_window.h"
#include "operations/driver_commands.h"
#include "operations/hardware_scan.h"
#include "operations/uninstall_commands.h"
#include "base/message_kinds.h"

namespace pyr {

void MainWindow::RunDeviceCommand(Command command, CommandSource source) {
  MainOperationHost host(*this);
  const RowSource rows = source == CommandSource::kContextMenu ? RowSource::kSelected : RowSource::kChecked;
  switch (command) {
    case Command::kScanHardware:
      RescanAndRebuild(host, kCmReenumerateNormal);
      return;
    case Command::kScanAndInstall:
      RescanAndRebuild(host, kCmReenumerateRetryInstallation);
      return;
    case Command::kUninstall:
      UninstallDevices(host, rows);
      return;
    case Command::kUninstallAndDeleteDrivers:
      UninstallAndDeleteDrivers(host, rows);
      return;
    case Command::kUninstallNotPresent:
      UninstallAllNotPresent(host);
      return;
    case Command::kUpdateDrivers:
      UpdateDrivers(host, rows);
      return;
    case Command::kChangeDrivers:
      ChangeDrivers(host);
      return;
    case Command::kReinstall:
      ReinstallDevices(host, rows);
      return;
    case Command::kAddDevice:
      if (const char16_t* instead = environment_.StartDevicePairingWizard()) AskUser(instead, kMessageOk);
      return;
    default:
      return;
  }
}

}  // namespace pyr
