#include "devices/device_status.h"

#include <iterator>

#include "devices/device_list.h"

namespace pyr {

namespace {

constexpr const char16_t* kWorking = u"Working properly";
constexpr const char16_t* kNotPresent = u"Not present";
constexpr const char16_t* kNoDrivers = u"No drivers installed";
constexpr const char16_t* kUnknownProblem = u"Error: Unknown error code";

// Indexed by problem code; entry 0 is never shown (code 0 means working).
constexpr const char16_t* kProblemTexts[] = {
    kUnknownProblem,
    u"Error: Not configured",
    u"Error: DevLoader failed",
    u"Error: Out of memory",
    u"Error: Entry is wrong type",
    u"Error: Lacked arbitrator",
    u"Error: Config conflict",
    u"Error: Failed filter",
    u"Error: Devloader not found",
    u"Error: Invalid data",
    u"Error: Failed to start",
    u"Error: Liar",
    u"Error: Conflict",
    u"Error: Not verified",
    u"Error: Needs restart",
    u"Error: Reenumeration",
    u"Error: Partial long config",
    u"Error: Unknown resource",
    u"Error: Reinstall",
    u"Error: Registry",
    kUnknownProblem,
    u"Error: Will be removed",
    u"Disabled",
    u"Error: DevLoader not ready",
    u"Error: Device not there",
    u"Error: Moved",
    u"Error: Too early",
    u"Error: No valid log config",
    u"Error: Failed install",
    u"Error: Hardware disabled",
    u"Error: Can't share IRQ",
    u"Error: Failed add",
    u"Error: Service disabled",
    u"Error: Translation failed",
    u"Error: No soft config",
    u"Error: No BIOD table",
    u"Error: IRQ translation failed",
    u"Error: DriverEntry failed",
    u"Error: Driver failed prior unload",
    u"Error: Driver failed load",
    u"Error: Service key invalid",
    u"Error: Legacy service no devices",
    u"Error: Duplicate device",
    u"Error: Failed post start",
    u"Error: Halted",
    u"Error: Phantom",
    u"Error: System shutting down",
    u"Error: Held for eject",
    u"Error: Driver blocked",
    u"Error: Registry too large",
    u"Error setting registry properties",
    u"Error: Waiting on dependency",
    u"Error: Unsigned driver",
    u"Error: Used by debugger",
    u"Error: Device reset",
    u"Error: Console locked",
    u"Error: Needs class config",
    u"Error: Guest assignment failed",
};
static_assert(std::size(kProblemTexts) == 58, "problem codes 0 to 57");

constexpr LegendEntry kLegend[] = {
    {u"Disabled", kColourDisabled},
    {u"Not working", kColourNotWorking},
    {kNotPresent, kColourNotPresent},
    {kNoDrivers, kColourNoDrivers},
};

}  // namespace

std::span<const LegendEntry> StatusLegend() { return kLegend; }

const char16_t* ProblemText(uint32_t problemCode) {
  if (problemCode >= std::size(kProblemTexts)) return kUnknownProblem;
  return kProblemTexts[problemCode];
}

WideText DeviceStatusText(const DeviceState& s) {
  if (s.noClass && s.problemCode == 0) return WideText(kNoDrivers);
  if (!s.present) return WideText(kNotPresent);
  if (s.problemCode == 0) return WideText(kWorking);
  return WideText(ProblemText(s.problemCode));
}

uint32_t DeviceRowColour(const DeviceState& s) {
  if (s.problemCode == kProblemDisabled) return kColourDisabled;
  if (s.problemCode != 0) return kColourNotWorking;
  if (s.noClass) return kColourNoDrivers;
  if (!s.present) return kColourNotPresent;
  return kDefaultColour;
}

bool IsDisabledStatus(std::u16string_view status) {
  return WideText::EqualsNoCase(status, ProblemText(kProblemDisabled));
}

bool IsNotPresentStatus(std::u16string_view status) {
  return WideText::EqualsNoCase(status, kNotPresent);
}

bool IsErrorStatus(std::u16string_view status) {
  return !WideText::EqualsNoCase(status, kWorking) && !IsDisabledStatus(status) &&
         !IsNotPresentStatus(status);
}

bool IsRootEnumerated(std::u16string_view instanceId) {
  for (std::u16string_view prefix : {u"ROOT\\", u"SWD\\"}) {
    if (WideText::EqualsNoCase(instanceId.substr(0, prefix.size()), prefix)) return true;
  }
  return false;
}

}  // namespace pyr
