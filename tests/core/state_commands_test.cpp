#include <gtest/gtest.h>

#include "operations/device_batch.h"
#include "operations/state_commands.h"
#include "support/scripted_host.h"

namespace pyr {
namespace {

using testing::kCheckFirst;
using testing::Lines;
using testing::MakeDevice;
using testing::ProgressTexts;
using testing::ScriptedHost;
using testing::SmallPc;

SimulatedPc ThreeAdapters() {
  return SmallPc({MakeDevice(u"PCI\\A", u"Adapter A"), MakeDevice(u"PCI\\B", u"Adapter B"),
                  MakeDevice(u"PCI\\C", u"Adapter C")});
}

TEST(DisableChecked, ProcessesTheLastRowFirstAndCountsKOfN) {
  ScriptedHost host(ThreeAdapters());
  host.list.SetAllChecked(true);
  DisableCheckedDevices(host);

  EXPECT_EQ(ProgressTexts(host), (Lines{u"Disabling Adapter C (1 of 3)...", u"Disabling Adapter B (2 of 3)...",
                                        u"Disabling Adapter A (3 of 3)..."}));
  EXPECT_EQ(host.resultLines, (Lines{u"Adapter C was successfully disabled.", u"Adapter B was successfully disabled.",
                                     u"Adapter A was successfully disabled."}));
  // The dialog opens, spins, then ends with the final text; one rebuild after the loop.
  EXPECT_EQ(Lines(host.calls.begin(), host.calls.begin() + 5),
            (Lines{u"ask:Are you sure you want to disable the selected device(s)?", u"open:Preparing...",
                   u"progress:-80", u"cancel-button", u"show"}));
  EXPECT_EQ(Lines(host.calls.end() - 5, host.calls.end()),
            (Lines{u"rebuild", u"progress:100:Operation complete. Results are displayed in the list above.",
                   u"finished", u"ok-pressed", u"close"}));
  EXPECT_EQ(host.rebuilds, 1);
  // After the rebuild every row reads Disabled.
  for (int row = 0; row < host.list.RowCount(); ++row) EXPECT_EQ(host.list.CellText(row, 1), u"Disabled");
  EXPECT_EQ(host.maxLockDepth, 1);
  EXPECT_EQ(host.lockDepth, 0);
}

TEST(DisableChecked, AsksBeforeItLooksAtTheRows) {
  ScriptedHost host(ThreeAdapters());
  DisableCheckedDevices(host);
  EXPECT_EQ(host.asked, (Lines{u"Are you sure you want to disable the selected device(s)?", kCheckFirst}));
  EXPECT_EQ(host.rebuilds, 0);
  EXPECT_EQ(host.maxLockDepth, 0);

  ScriptedHost no(ThreeAdapters());
  no.list.SetAllChecked(true);
  no.answers = {0};
  DisableCheckedDevices(no);
  EXPECT_EQ(no.asked.size(), 1u);
  EXPECT_TRUE(no.resultLines.empty());
}

TEST(EnableChecked, FailuresKeepTicksAndSkipTheRebuild) {
  ScriptedHost host(ThreeAdapters());
  for (const char16_t* id : {u"PCI\\A", u"PCI\\B", u"PCI\\C"}) host.platform.FailActionsOn(id);
  host.list.SetRowChecked(0, true);
  host.list.SetRowChecked(2, true);
  EnableCheckedDevices(host);
  EXPECT_EQ(host.resultLines, (Lines{u"Adapter C could not be enabled.", u"Adapter A could not be enabled."}));
  EXPECT_EQ(host.rebuilds, 0);
  EXPECT_EQ(host.list.CheckedRows(), (std::vector<int>{0, 2}));
  EXPECT_EQ(host.calls.back(), u"close");
}

TEST(RestartDevices, QuestionWordingFollowsTheRowCount) {
  for (const auto& [rows, question] : {std::pair{std::vector<int>{1}, u"Are you sure you want to restart the selected device?"},
                                       {std::vector<int>{0, 1}, u"Are you sure you want to restart the selected devices?"}}) {
    ScriptedHost host(ThreeAdapters());
    for (int row : rows) host.list.SetRowChecked(row, true);
    host.answers = {0};
    RestartDevices(host, RowSource::kChecked);
    EXPECT_EQ(host.asked, Lines{question});
  }
  ScriptedHost none(ThreeAdapters());
  RestartDevices(none, RowSource::kSelected);
  EXPECT_EQ(none.asked, (Lines{kCheckFirst}));  // no question first
}

TEST(RestartDevices, CancelStopsBeforeTheNextDeviceAndClosesWithoutWaiting) {
  ScriptedHost host(ThreeAdapters());
  host.list.SetAllChecked(true);
  host.okPressedWhenWaiting = false;  // a cancelled batch must not wait for OK
  // Cancel is pressed while the first device is being restarted.
  host.onPump = [](ScriptedHost& h, int mode) {
    if (mode == kPumpPending && h.resultLines.size() == 1) h.SetCancelRequested(kCancelPressed);
  };
  RestartDevices(host, RowSource::kChecked);
  EXPECT_EQ(host.resultLines, (Lines{u"Adapter C was successfully restarted."}));
  EXPECT_EQ(host.rebuilds, 1);
  EXPECT_EQ(ProgressTexts(host).size(), 1u);
  EXPECT_EQ(Lines(host.calls.end() - 4, host.calls.end()),
            (Lines{u"rebuild", u"progress:100:Operation complete. Results are displayed in the list above.",
                   u"finished", u"close"}));
}

TEST(RestartDevices, CancelSeenBeforeActingRestartsNothing) {
  ScriptedHost host(ThreeAdapters());
  host.list.SetAllChecked(true);
  host.onPump = [](ScriptedHost& h, int mode) {
    if (mode == kPumpPending) h.SetCancelRequested(kCancelPressed);
  };
  RestartDevices(host, RowSource::kChecked);
  EXPECT_TRUE(host.resultLines.empty());
  EXPECT_EQ(host.rebuilds, 0);
  EXPECT_EQ(host.platform.Calls(PlatformCall::kCallClassInstaller), 0u);
}

// A row whose device is not in the set, and a row that never got a device index (it once
// acted on the set's first device), are both skipped.
TEST(RunDeviceBatch, RowsWithoutALocatableDeviceAreSkippedButCounted) {
  for (uint64_t stored : {uint64_t{99}, uint64_t{0}}) {
    ScriptedHost host(ThreeAdapters());
    host.list.SetAllChecked(true);
    host.list.SetRowUserValue(1, stored);
    DeviceBatch batch;
    batch.verb = u"Poking ";
    batch.successSuffix = u" ok";
    batch.failureSuffix = u" no";
    std::vector<uint32_t> acted;
    batch.action = [&](int, const DeviceInfo& d) { return acted.push_back(d.devInst), true; };
    EXPECT_EQ(RunDeviceBatch(host, host.list.CheckedRows(), batch), 2) << stored;
    EXPECT_EQ(ProgressTexts(host), (Lines{u"Poking Adapter C (1 of 3)...", u"Poking Adapter A (3 of 3)..."}));
    EXPECT_EQ(host.resultLines.size(), 2u);
    ASSERT_EQ(acted.size(), 2u);
    EXPECT_NE(acted[0], acted[1]) << "one device acted on twice, stored value " << stored;
  }
}

// Disable, enable and the context item go through the class installer, so a change holds after
// the PC restarts. A device that cannot stop now changes at the next boot: disabling it is a
// success that asks for a restart, restarting it a failure that does. The context item enables
// a disabled row and disables any other, with no question.
TEST(StateChanges, HoldAfterARestartAndFinishAtTheNextBoot) {
  const auto checked = [](void (*command)(OperationHost&)) {
    return [command](ScriptedHost& h) { h.list.SetRowChecked(0, true), command(h); };
  };
  const auto selected = [](ScriptedHost& h) { h.list.SelectRow(0), ToggleSelectedDeviceState(h); };
  const auto restart = [](ScriptedHost& h) { h.list.SetRowChecked(0, true), RestartDevices(h, RowSource::kChecked); };
  struct Case {
    const char* what;
    uint32_t problem;
    bool stuck;  // its driver cannot stop while Windows runs
    std::function<void(ScriptedHost&)> run;
    const char16_t* line;  // none for the context item
    bool reboot;
    const char16_t* status;
    const char16_t* afterRestart;
  } cases[] = {
      {"disable", 0, false, checked(DisableCheckedDevices), u" was successfully disabled.", false, u"Disabled", u"Disabled"},
      {"disable vetoed", 0, true, checked(DisableCheckedDevices), u" was successfully disabled.", true,
       u"Working properly", u"Disabled"},
      {"not disableable", 0, false, checked(DisableCheckedDevices), u" could not be disabled.", false,
       u"Working properly", u"Working properly"},
      {"enable", 22, false, checked(EnableCheckedDevices), u" was successfully enabled.", false, u"Working properly",
       u"Working properly"},
      // Disabled for every profile and for this one: an enable clears both.
      {"enable in profile", 22, false, checked(EnableCheckedDevices), u" was successfully enabled.", false,
       u"Working properly", u"Working properly"},
      {"restart at the next boot", 0, true, restart, u" could not be restarted.", true, u"Error: Needs restart",
       u"Working properly"},
      {"context disable", 0, false, selected, nullptr, false, u"Disabled", u"Disabled"},
      {"context disable vetoed", 0, true, selected, nullptr, true, u"Working properly", u"Disabled"},
      {"context enable", 22, false, selected, nullptr, false, u"Working properly", u"Working properly"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SimulatedDevice device = MakeDevice(u"PCI\\A", u"Adapter A", c.problem);
    device.needsRestart = c.stuck;
    device.notDisableable = std::string_view(c.what) == "not disableable";  // no DN_DISABLEABLE
    device.disabledAtBoot = device.disabledInProfile = std::string_view(c.what) == "enable in profile";
    ScriptedHost host(SmallPc({device}));
    c.run(host);
    EXPECT_EQ(host.resultLines, c.line ? Lines{Concat({u"Adapter A", c.line}).Str()} : Lines{});
    if (!c.line) { EXPECT_TRUE(host.asked.empty()); }
    EXPECT_EQ(host.rebootNeeded, c.reboot);
    host.RebuildInventory();
    EXPECT_EQ(host.list.CellText(0, 1), c.status);
    host.platform.Reboot();
    host.RebuildInventory();
    EXPECT_EQ(host.list.CellText(0, 1), c.afterRestart);
  }
}

TEST(ToggleSelectedDeviceState, MessagesForNoSelectionAndFailure) {
  ScriptedHost host(ThreeAdapters());
  ToggleSelectedDeviceState(host);
  EXPECT_EQ(host.asked.back(), u"Please select one item before using this feature. To select an item, click one row");
  host.platform.FailActionsOn(u"PCI\\B");
  host.list.SelectRow(1);
  ToggleSelectedDeviceState(host);
  EXPECT_EQ(host.asked.back(), u"Sorry, the requested device state could not be set.");
  EXPECT_EQ(host.rebuilds, 0);
}

}  // namespace
}  // namespace pyr
