// Offering every INF below a folder to the system's driver installation.
#pragma once

#include <atomic>
#include <cstdint>

#include "base/wide_text.h"
#include "devices/device_platform.h"

namespace pyr {

inline constexpr char16_t kInstallFolderTitle[] = u"Please indicate the folder containing the drivers to install";
inline constexpr int32_t kInstallWindowWidth = 450;
inline constexpr int32_t kInstallWindowHeight = 70;

// ".inf" in any case, taken from the last dot; a dot that starts the name does not count.
bool IsInfFileName(std::u16string_view name);

// "No drivers were", "One driver was", "3 drivers were".
WideText InstallCountText(uint32_t count);
// The one message closing the command.
WideText InstallClosingMessage(bool cancelled, uint32_t count, const WideText& folder);
WideText InstallProgressText(const WideText& folder);

// Flags shared with the interface thread (either may be null), and the window that owns the
// system's prompts (publisher, unsigned driver) so that they open in front of it.
struct InstallFlags {
  std::atomic<bool>* rebootNeeded = nullptr;
  const std::atomic<bool>* cancelRequested = nullptr;
  WindowHandle owner;
};

// Walks folder (reparse points not entered), offers each INF without forcing it, and returns how
// many packages a device took; one the system only put in its store does not count. An entry
// whose name Windows would read as another one (UsableName differs) is neither entered nor
// offered. Stops before the next entry once cancel is set.
uint32_t InstallFromOneFolder(DevicePlatform& platform, const WideText& folder, const InstallFlags& flags);

}  // namespace pyr
