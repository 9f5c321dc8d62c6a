#include "operations/install_drivers_from_folder.h"

#include <atomic>

#include "driverstore/install_from_folder.h"
#include "operations/worker_thread.h"
#include "base/message_kinds.h"
#include "operations/operation_texts.h"

namespace pyr {

int InstallDriversFromFolder(OperationHost& host, const WideText& startFolder) {
  host.SetCancelRequested(kNotCancelled);
  WideText folder = startFolder;
  constexpr uint32_t kPickOptions = 0x21;  // file-system folders only, validated
  if (!host.BrowseForFolder(&folder, kInstallFolderTitle, kPickOptions)) return -1;
  folder.StripTrailingBackslashes();

  host.OpenProgressWindow(InstallProgressText(folder), kInstallWindowWidth, kInstallWindowHeight);
  host.SetProgress(kProgressSpinner, nullptr);
  host.AddCancelButton();
  host.ShowDialog();

  DevicePlatform& platform = host.Platform();
  const WindowHandle owner = host.ProgressWindowHandle();
  std::atomic<bool> cancel{false}, reboot{false};
  const std::optional<uint32_t> installed = RunWorker(host, cancel, nullptr, [&] {
    return InstallFromOneFolder(platform, folder, InstallFlags{&reboot, &cancel, owner});
  });
  host.CloseDialog();
  const uint32_t count = installed.value_or(0);
  if (reboot.load()) host.SetRebootNeeded();
  if (count != 0) host.RebuildInventory();
  host.AskUser(installed ? InstallClosingMessage(host.CancelRequested() != kNotCancelled, count, folder)
                         : WideText(kOperationNotStarted),
               kMessageOk);
  return static_cast<int>(count);
}

}  // namespace pyr
