#include "operations/install_drivers_from_folder.h"

#include <atomic>

#include "driverstore/install_from_folder.h"
#include "operations/hardware_scan.h"
#include "operations/worker_thread.h"
#include "base/message_kinds.h"
#include "operations/operation_texts.h"

namespace pyr {

namespace {

enum class AfterInstall { kNothing, kScanHardware };

// Picks the folder and installs from it under the progress window; nothing when the pick is
// cancelled, an outcome without a value when the worker could not start.
std::optional<std::optional<InstallOutcome>> RunFolderInstall(OperationHost& host, const WideText& startFolder,
                                                              AfterInstall after, WideText* folder) {
  host.SetCancelRequested(kNotCancelled);
  *folder = startFolder;
  constexpr uint32_t kPickOptions = 0x21;  // file-system folders only, validated
  if (!host.BrowseForFolder(folder, kInstallFolderTitle, kPickOptions)) return std::nullopt;
  folder->StripTrailingBackslashes();

  host.OpenProgressWindow(InstallProgressText(*folder), kInstallWindowWidth, kInstallWindowHeight);
  host.SetProgress(kProgressSpinner, nullptr);
  host.AddCancelButton();
  host.ShowDialog();

  DevicePlatform& platform = host.Platform();
  const WindowHandle owner = host.ProgressWindowHandle();
  std::atomic<bool> cancel{false}, reboot{false};
  InstallOutcome outcome;  // written by the worker, read once it has ended
  const std::optional<uint32_t> ran = RunWorker(host, cancel, nullptr, [&] {
    outcome = InstallFromOneFolder(platform, *folder, InstallFlags{&reboot, &cancel, owner});
    return 1u;
  });
  const bool scan = ran && after == AfterInstall::kScanHardware && outcome.staged != 0 &&
                    host.CancelRequested() == kNotCancelled;
  if (scan) ScanHardware(host, kCmReenumerateRetryInstallation, true);
  host.CloseDialog();
  if (reboot.load()) host.SetRebootNeeded();
  if (outcome.installed != 0 || scan) host.RebuildInventory();
  // Where there is a list for them (the command line's), each refused package has its line.
  if (host.HasResultList()) {
    for (const WideText& inf : outcome.failed) host.AddResultLine(InstallFailedLine(inf));
  }
  if (!ran) return std::optional<InstallOutcome>();
  return std::optional<InstallOutcome>(std::move(outcome));
}

}  // namespace

int InstallDriversFromFolder(OperationHost& host, const WideText& startFolder) {
  WideText folder;
  const auto run = RunFolderInstall(host, startFolder, AfterInstall::kNothing, &folder);
  if (!run) return -1;
  const std::optional<InstallOutcome>& outcome = *run;
  host.AskUser(outcome ? InstallClosingMessage(host.CancelRequested() != kNotCancelled, outcome->installed,
                                               folder, outcome->failed)
                       : WideText(kOperationNotStarted),
               kMessageOk);
  return outcome ? static_cast<int>(outcome->installed) : 0;
}

int PutBackDriverPackages(OperationHost& host, const WideText& startFolder) {
  WideText folder;
  const auto run = RunFolderInstall(host, startFolder, AfterInstall::kScanHardware, &folder);
  if (!run) return -1;
  const std::optional<InstallOutcome>& outcome = *run;
  host.AskUser(outcome ? PutBackClosingMessage(host.CancelRequested() != kNotCancelled, outcome->staged, folder,
                                               outcome->failed)
                       : WideText(kOperationNotStarted),
               kMessageOk);
  return outcome ? static_cast<int>(outcome->staged) : 0;
}

}  // namespace pyr
