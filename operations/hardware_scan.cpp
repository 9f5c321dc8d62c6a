#include "operations/hardware_scan.h"

#include <atomic>
#include <system_error>
#include <thread>

#include "operations/worker_thread.h"

namespace pyr {

namespace {

// Written by the main thread before the worker starts and not changed while it runs.
struct ScanParameters {
  uint32_t locateFlags = 0;  // CM_LOCATE_DEVNODE_NORMAL
  uint32_t reenumerateFlags = 0;
};

bool ReenumerateFromRoot(DevicePlatform& platform, const ScanParameters& parameters) {
  DevInst root = 0;
  if (platform.LocateDevNode(&root, nullptr, parameters.locateFlags) != kCrSuccess) return false;
  return platform.ReenumerateDevNode(root, parameters.reenumerateFlags) == kCrSuccess;
}

}  // namespace

bool ScanHardware(OperationHost& host, uint32_t mode, bool quiet) {
  if (!quiet) {
    host.OpenProgressWindow(kScanningText, kScanWindowWidth, kScanWindowHeight);
    host.SetProgress(kProgressSpinner, nullptr);
    host.ShowDialog();
  }
  const ScanParameters parameters{0, mode};
  DevicePlatform& platform = host.Platform();
  std::atomic<bool> ended{false};
  std::atomic<bool> accepted{false};
  std::thread worker;
  try {
    worker = std::thread([&] {
      accepted.store(ReenumerateFromRoot(platform, parameters));
      ended.store(true);
    });
  } catch (const std::system_error&) {
    ended.store(true);  // no thread: nothing to wait for, and the scan did not run
  }
  while (!ended.load()) host.PumpEventsFor(kWatchIntervalMs);
  if (worker.joinable()) worker.join();
  if (!quiet) host.CloseDialog();
  return accepted.load();
}

bool WaitForPendingInstalls(OperationHost& host) {
  DevicePlatform& platform = host.Platform();
  std::atomic<bool> cancel{false};
  return RunWorker(host, cancel, nullptr, [&]() -> uint32_t {
    for (uint32_t slice = 0; slice < kInstallWaitSlices && !cancel.load(); ++slice) {
      const uint32_t answer = platform.WaitNoPendingInstallEvents(kInstallWaitSliceMs);
      if (answer != kWaitTimeout) return answer == kWaitObject0 ? 1 : 0;
    }
    return 0;
  }) == 1;
}

void RescanAndRebuild(OperationHost& host, uint32_t mode) {
  ScanHardware(host, mode, false);
  host.RebuildInventory();
}

}  // namespace pyr
