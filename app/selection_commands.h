// The commands that read the device list without changing a device: ticking rows by rule,
// finding a device by name, and the web search address of a row.
#pragma once

#include "operations/operation_host.h"

namespace pyr {

enum class CheckRule { kNotPresent, kDisabled, kWithErrors };

// "Check all" / "Check none".
void CheckAllRows(DeviceList& list, bool checked);
// "Check all in this group" / "Check none in this group": nothing at all in a flat list.
void CheckRowsInSelectedGroup(OperationHost& host, bool checked);
// Adds ticks to the rows whose status matches; other rows keep theirs.
void CheckRowsByStatus(DeviceList& list, CheckRule rule);
// Adds ticks to the devices not present whose last removal is more than days before now (a
// FILETIME); a device without the date keeps its tick as it was.
void CheckNotPresentLongerThan(OperationHost& host, uint32_t days, uint64_t now);
// Adds ticks to the rows whose device has location paths.
void CheckPhysicalDevices(OperationHost& host);

// Find next: the first row after lastFound (-1: from the top) whose name contains text, case
// ignored, in item order and without wrapping. Returns it, or -1.
int FindNextRow(const DeviceList& list, const WideText& text, int lastFound);
// Shows a found row: its group expanded, the row scrolled into view and selected.
void RevealRow(DeviceList& list, int row);

enum class SearchKind { kHardwareId, kDeviceName, kNameAndHardwareId };
// The text of the row that a web search looks for.
WideText SearchTextOfRow(const DeviceList& list, int row, SearchKind kind);
// Query escaping: blank and tab as "+", every byte outside the unreserved set as %XX of UTF-8.
WideText EscapeSearchText(const WideText& text);
// The search engine's address for the text.
WideText SearchUrl(const WideText& text);

}  // namespace pyr
