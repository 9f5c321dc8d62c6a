// The loop every per-device operation shares: rows last to first under the results dialog,
// with progress, one result line per device, cancel, and one rebuild at the end.
#pragma once

#include <functional>
#include <vector>

#include "operations/operation_host.h"

namespace pyr {

// Looks the row's device up in the inventory's device set; false when there is no set, no such
// row, or the set no longer holds the device.
bool DeviceOfRow(OperationHost& host, int row, DeviceInfo* device);

// After a change to the device: whether the system asked for a restart to finish it (the element's
// DI_NEEDREBOOT or DI_NEEDRESTART, or flags that cannot be read), which then also sets the host's
// reboot flag.
bool RestartRequested(OperationHost& host, const DeviceInfo& device);

// Takes the events already waiting (clicks on Cancel among them) without blocking.
void DrainPendingEvents(OperationHost& host, PumpMode mode = kPumpPending);

struct DeviceBatch {
  const char16_t* preparingText = u"Preparing...";
  const char16_t* verb = u"";           // "Disabling "
  const char16_t* linePrefix = u"";     // in front of every result line
  const char16_t* successSuffix = u"";  // " was successfully disabled."
  const char16_t* failureSuffix = u"";
  bool locateFirst = true;              // skip rows whose device cannot be looked up
  bool cancelCheckBeforeActing = false;
  // Does one device; device is the row's device when locateFirst is set.
  std::function<bool(int row, const DeviceInfo& device)> action;
  // When set, words each device's result line in place of prefix, name and suffix.
  std::function<WideText(const WideText& name, bool ok)> lineFor;
  // When set, runs once the devices are done; a text it gives is a second line of the final text.
  std::function<WideText()> summaryLine;
};

inline constexpr char16_t kOperationComplete[] =
    u"Operation complete. Results are displayed in the list above.";

// Runs the batch over rows (in list order; processed from the last). Returns the number of
// devices that succeeded.
int RunDeviceBatch(OperationHost& host, const std::vector<int>& rows, const DeviceBatch& batch);

}  // namespace pyr
