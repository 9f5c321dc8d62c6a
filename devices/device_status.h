// What a device's state looks like: its status text, its row colour, the problem texts, and the
// classifications the selection commands and operations make from a row's status.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "base/wide_text.h"

namespace pyr {

constexpr uint32_t kProblemNeedsRestart = 14;
constexpr uint32_t kProblemDisabled = 22;
constexpr uint32_t kProblemFailedInstall = 28;

// The facts the status and colour depend on.
struct DeviceState {
  bool noClass = false;  // class GUID is GUID_NULL (no drivers installed)
  uint32_t problemCode = 0;
  bool present = true;
};

// Row backgrounds (COLORREF 0x00BBGGRR), drawn with white text.
constexpr uint32_t kColourDisabled = 0x808080;
constexpr uint32_t kColourNotWorking = 0x5050A0;
constexpr uint32_t kColourNoDrivers = 0x507090;
constexpr uint32_t kColourNotPresent = 0xA05050;

// The legend of the main window, top to bottom.
struct LegendEntry {
  const char16_t* label;
  uint32_t colour;
};
std::span<const LegendEntry> StatusLegend();

// The text for a configuration-manager problem code; "Error: Unknown error code" for 20 and
// every code the table does not hold.
const char16_t* ProblemText(uint32_t problemCode);
// Status column text.
WideText DeviceStatusText(const DeviceState& state);
// Row background, or kDefaultColour (0xFFFFFFFF) for the list's normal colours.
uint32_t DeviceRowColour(const DeviceState& state);

// Classifications of a row by its status text (case ignored).
bool IsDisabledStatus(std::u16string_view status);
bool IsNotPresentStatus(std::u16string_view status);
bool IsErrorStatus(std::u16string_view status);

// ROOT\ devices (miniports, virtual buses) and SWD\ software devices: no bus driver reports them
// again once they are removed, so a rescan never brings them back.
bool IsRootEnumerated(std::u16string_view instanceId);

}  // namespace pyr
