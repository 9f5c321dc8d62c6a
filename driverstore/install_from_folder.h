// Offering every INF below a folder to the system's driver installation.
#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

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
// The one message closing the command; failed: the packages the system refused.
WideText InstallClosingMessage(bool cancelled, uint32_t count, const WideText& folder,
                               const std::vector<WideText>& failed = {});
// The closing message of putting removed packages back: staged of them reached the store.
WideText PutBackClosingMessage(bool cancelled, uint32_t staged, const WideText& folder,
                               const std::vector<WideText>& failed);
// The result line of a package the system refused.
WideText InstallFailedLine(const WideText& inf);
WideText InstallProgressText(const WideText& folder);

// Flags shared with the interface thread (either may be null), and the window that owns the
// system's prompts (publisher, unsigned driver) so that they open in front of it.
struct InstallFlags {
  std::atomic<bool>* rebootNeeded = nullptr;
  const std::atomic<bool>* cancelRequested = nullptr;
  WindowHandle owner;
};

struct InstallOutcome {
  uint32_t installed = 0;        // packages a device took
  uint32_t staged = 0;           // packages that reached the driver store, taken or not
  std::vector<WideText> failed;  // INFs that did not reach the driver store
};

// Walks folder (reparse points not entered) and offers each INF without forcing it: a package a
// device took counts as installed; one the system only put in its store (TRUE with no device's
// driver changed, or FALSE with ERROR_NO_MORE_ITEMS) found nothing better; any other refusal
// (bad signature, damaged files) is a failure. An entry whose name Windows would read as another
// one (UsableName differs) is neither entered nor offered. Stops before the next entry once
// cancel is set.
InstallOutcome InstallFromOneFolder(DevicePlatform& platform, const WideText& folder, const InstallFlags& flags);

}  // namespace pyr
