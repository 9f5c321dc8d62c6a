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

// "Scan for hardware changes" (kCmReenumerateNormal) and "Scan and install missing devices"
// (kCmReenumerateRetryInstallation): the scan, then the list rebuilt whatever it answered.
void RescanAndRebuild(OperationHost& host, uint32_t mode);

}  // namespace pyr
