// How the device list presents groups and which commands its state allows.
#pragma once

#include <cstdint>
#include <vector>

#include "base/wide_text.h"
#include "devices/device_list.h"
#include "devices/guid.h"

namespace pyr {

// ListFlag bits.
constexpr uint32_t kListShowNotPresent = 0x1;
constexpr uint32_t kListFlat = 0x2;

// What a command needs of the list before it can run; the command table names each command's need.
enum class CommandNeed : uint8_t { kNothing, kCheckedRow, kSelectedRow, kGroups };

// What the list offers the commands now.
struct CommandAvailability {
  bool anyChecked = false;
  bool rowSelected = false;
  bool grouped = false;
  bool Allows(CommandNeed need) const;
  bool operator==(const CommandAvailability&) const = default;
};

// Which list-dependent commands are enabled: those needing a checked row, those needing a
// selected row, and the group commands (grouped mode only).
CommandAvailability UpdateCommandAvailability(const DeviceList& list, uint32_t listFlags);

// Expands (true) or collapses (false) every group.
void ExpandAllGroups(DeviceList& list, bool expand);

// The line under a class's group header: "Class name: <name> | GUID: {...}".
WideText ClassLine(const WideText& className, const Guid& guid);

}  // namespace pyr
