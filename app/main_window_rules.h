// The main window's decisions that do not need a window: what the View toggles do to the list
// flags, when a group button's menu opens, what start-up asks, which rows a command works on.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace pyr {

// A click on a group button that closed its menu must not open it again. The menu loop's end is
// remembered; a click on the same button within 250 ms of it is that closing click.
class GroupMenuToggle {
 public:
  static constexpr int64_t kReopenDelayMs = 250;

  // True when the button's menu should open (the button is then remembered as the last one).
  bool ShouldOpen(int32_t button, int64_t nowMs);
  void MenuClosed(int64_t nowMs) { closedAtMs_ = nowMs; }
  int32_t LastButton() const { return lastButton_; }

 private:
  int32_t lastButton_ = 0;
  std::optional<int64_t> closedAtMs_;  // not started until the first menu closes
};

// A View toggle: the item's check mark before the click gives the new mark and list flags.
struct ViewToggleResult {
  bool checked;
  uint32_t listFlag;
  bool groupCommandsEnabled;  // "Expand all groups" / "Collapse all groups"
};
ViewToggleResult ToggleShowNotPresent(bool wasChecked, uint32_t listFlag);
ViewToggleResult ToggleGroupByType(bool wasChecked, uint32_t listFlag);

// The check marks the View items start with for the loaded flags.
struct ViewChecks {
  bool showNotPresent;
  bool groupByType;
};
ViewChecks ViewChecksFor(uint32_t listFlag);

// What start-up does after the first list build.
struct StartupPrompts {
  bool askFirstRunBackup;
  bool showStartupTip;
};
StartupPrompts StartupPromptsFor(bool settingsKeyOpened, uint32_t appFlag);

// The startup-tip check box after a click (it has already toggled itself).
uint32_t AppFlagAfterTipBox(bool nowChecked, uint32_t appFlag);

// A device arrived or left: the list is rebuilt only when nothing is ticked, so ticks survive.
inline bool RebuildOnDeviceChange(int checkedRows) { return checkedRows == 0; }

// Device-change notices come in bursts (a dock, a hub, each device an uninstall removes): they
// are gathered into one rebuild once none has come for this long.
constexpr int64_t kDeviceChangeQuietMs = 300;
inline bool DeviceChangesSettled(bool pending, int64_t lastNoticeMs, int64_t nowMs) {
  return pending && nowMs - lastNoticeMs >= kDeviceChangeQuietMs;
}

}  // namespace pyr
