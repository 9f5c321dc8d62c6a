#include "app/main_window_rules.h"


#include "app/settings.h"

namespace pyr {

bool GroupMenuToggle::ShouldOpen(int32_t button, int64_t nowMs) {
  if (button == lastButton_ && closedAtMs_ && nowMs - *closedAtMs_ < kReopenDelayMs) {
    lastButton_ = 0;
    return false;
  }
  lastButton_ = button;
  return true;
}

ViewToggleResult ToggleShowNotPresent(bool wasChecked, uint32_t listFlag) {
  const uint32_t flags =
      wasChecked ? (listFlag & ~kListFlagShowNotPresent) : (listFlag | kListFlagShowNotPresent);
  return {!wasChecked, flags, (flags & kListFlagFlat) == 0};
}

ViewToggleResult ToggleGroupByType(bool wasChecked, uint32_t listFlag) {
  const uint32_t flags = wasChecked ? (listFlag | kListFlagFlat) : (listFlag & ~kListFlagFlat);
  return {!wasChecked, flags, (flags & kListFlagFlat) == 0};
}

ViewChecks ViewChecksFor(uint32_t listFlag) {
  return {(listFlag & kListFlagShowNotPresent) != 0, (listFlag & kListFlagFlat) == 0};
}

StartupPrompts StartupPromptsFor(bool settingsKeyOpened, uint32_t appFlag) {
  return {!settingsKeyOpened, (appFlag & kAppFlagNoStartupTip) == 0};
}

uint32_t AppFlagAfterTipBox(bool nowChecked, uint32_t appFlag) {
  return nowChecked ? (appFlag & ~kAppFlagNoStartupTip) : (appFlag | kAppFlagNoStartupTip);
}

}  // namespace pyr
