// Asking the system to re-enumerate the device tree from its root, on a worker thread while the
// window that waits for it stays alive; and the three Rescan commands built on it.
#pragma once

#include <cstdint>

#include "operations/operation_host.h"

namespace pyr {

inline constexpr char16_t kScanningText[] = u"Scanning for hardware changes...";
inline constexpr int32_t kScanWindowWidth = 400;
inline constexpr int32_t kScanWindowHeight = 60;

// mode: kCmReenumerateNormal or kCmReenumerateRetryInstallation. Unless quiet, the compact
// progress window shows while the scan runs. True when the system accepted the re-enumeration.
bool ScanHardware(OperationHost& host, uint32_t mode, bool quiet);

// Waits, on a worker thread, until the system has no device installation pending (the ones a
// re-enumeration starts), for at most kInstallWaitSlices slices of kInstallWaitSliceMs so that a
// Cancel is seen within one. True when none is pending.
inline constexpr uint32_t kInstallWaitSliceMs = 1000;
inline constexpr uint32_t kInstallWaitSlices = 60;
bool WaitForPendingInstalls(OperationHost& host);

// "Scan for hardware changes" (kCmReenumerateNormal) and "Scan and install missing devices"
// (kCmReenumerateRetryInstallation): the scan, then the list rebuilt whatever it answered.
void RescanAndRebuild(OperationHost& host, uint32_t mode);

}  // namespace pyr
