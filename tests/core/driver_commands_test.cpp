#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "operations/driver_commands.h"
#include "operations/hardware_scan.h"
#include "operations/uninstall_commands.h"
#include "support/driver_pc.h"

namespace pyr {
namespace {

using testing::Called;
using testing::CallsStartingWith;
using testing::DriverPc;
using testing::kCheckFirst;
using testing::Lines;
using testing::ProgressTexts;
using testing::ScriptedHost;

// An INF on disk for Adapter B, with the given DriverVer.
std::u16string WriteInf(const char* name, const char* driverVer) {
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / "pyravel_driver_commands";
  std::filesystem::create_directories(folder);
  const std::filesystem::path path = folder / name;
  std::ofstream(path) << "; picked by the user\n[Version]\nSignature=\"$Windows NT$\"\nClass=Net\n"
                      << "Provider=%Maker%\nDriverVer = " << driverVer << "\n\n[Manufacturer]\n"
                      << "%Maker%=Models,NTamd64\n\n[Models.NTamd64]\n"
                      << "%Desc% = Install, HW\\Adapter B, PCI\\CC_0200\n\n[Strings]\nMaker=\"Maker\"\n";
  return path.u16string();
}

TEST(UpdateDrivers, OneWizardPerLocatedRowThenOneRebuild) {
  ScriptedHost host(DriverPc());
  host.list.SetAllChecked(true);
  host.list.SetRowUserValue(1, 99);  // its device is gone: skipped
  EXPECT_EQ(UpdateDrivers(host, RowSource::kChecked), 3);
  EXPECT_EQ(host.platform.Calls(PlatformCall::kShowUpdateDevice), 3u);
  EXPECT_TRUE(host.asked.empty());
  EXPECT_TRUE(host.resultLines.empty());
  EXPECT_TRUE(CallsStartingWith(host, u"open:").empty());  // no dialog of its own
  const Lines tail(host.calls.end() - 2, host.calls.end());
  EXPECT_EQ(tail, (Lines{u"to-top", u"rebuild"}));

  ScriptedHost closed(DriverPc());
  closed.list.SelectRow(2);
  closed.platform.SetUpdateWizardResult(false);
  EXPECT_EQ(UpdateDrivers(closed, RowSource::kSelected), 0);
  EXPECT_EQ(closed.rebuilds, 0);
  EXPECT_TRUE(Called(closed, u"to-top"));

  ScriptedHost none(DriverPc());
  EXPECT_EQ(UpdateDrivers(none, RowSource::kChecked), 0);
  EXPECT_EQ(none.asked, Lines{kCheckFirst});
  EXPECT_EQ(none.platform.Calls(PlatformCall::kShowUpdateDevice), 0u);
}

TEST(UpdateDrivers, ClosingTheProgramStopsAfterTheCurrentWizard) {
  ScriptedHost host(DriverPc());
  host.list.SetAllChecked(true);
  host.onPump = [](ScriptedHost& h, int) { h.SetCancelRequested(kProgramClosing); };
  EXPECT_EQ(UpdateDrivers(host, RowSource::kChecked), 1);
  EXPECT_EQ(host.platform.Calls(PlatformCall::kShowUpdateDevice), 1u);
}

TEST(ChangeDrivers, NewerOlderForcedAndCancelledPicks) {
  const std::u16string newer = WriteInf("newer.inf", "03/01/2024,3.0");
  const std::u16string older = WriteInf("older.inf", "01/01/2019,1.0");
  struct Case {
    std::u16string pick;
    std::deque<int> answers;  // to the force question
    Lines asked;
    Lines lines;
    const char16_t* version;  // Adapter B's driver version afterwards
  } cases[] = {
      {newer, {}, {}, {u"The driver for Adapter B was successfully changed."}, u"3.0"},
      {older, {0}, {kForceDriverQuestion}, {u"The driver for Adapter B could not be changed."}, u"2.0"},
      {older, {1}, {kForceDriverQuestion}, {u"The driver for Adapter B was successfully changed."}, u"1.0"},
      {u"", {}, {}, {}, u"2.0"},  // the user cancelled the file dialog
  };
  for (const Case& c : cases) {
    ScriptedHost host(DriverPc());
    host.list.SetRowChecked(1, true);
    host.infPicks = {c.pick};
    host.answers = c.answers;
    ChangeDrivers(host);
    EXPECT_EQ(host.asked, c.asked);
    EXPECT_EQ(ProgressTexts(host), Lines{u"Changing driver for Adapter B (1 of 1)..."});
    EXPECT_EQ(CallsStartingWith(host, u"pick:"), Lines{u"pick:Select driver INF file for Adapter B"});
    EXPECT_EQ(host.resultLines, c.lines);
    EXPECT_EQ(host.rebuilds, c.lines.size() == 1 && c.version != std::u16string(u"2.0") ? 1 : 0);
    EXPECT_EQ(host.platform.FindDevice(u"PCI\\B")->driverVersion, c.version);
    EXPECT_TRUE(Called(host, u"progress:100:Operation complete. Results are displayed in the list above."));
  }
}

TEST(ChangeDrivers, ACancelledPickStillOffersTheNextDevice) {
  ScriptedHost host(DriverPc());
  host.list.SetRowChecked(0, true);
  host.list.SetRowChecked(1, true);
  host.infPicks = {u"", u"oem3.inf"};  // nothing for B, the store's newer package for A
  ChangeDrivers(host);
  EXPECT_EQ(CallsStartingWith(host, u"pick:"), (Lines{u"pick:Select driver INF file for Adapter B",
                                                       u"pick:Select driver INF file for Adapter A"}));
  EXPECT_EQ(ProgressTexts(host), (Lines{u"Changing driver for Adapter B (1 of 2)...",
                                        u"Changing driver for Adapter A (2 of 2)..."}));
  // oem3.inf is for Adapter B's hardware, not A's.
  EXPECT_EQ(host.asked, Lines{kForceDriverQuestion});
  EXPECT_EQ(host.resultLines, Lines{u"The driver for Adapter A could not be changed."});

  ScriptedHost none(DriverPc());
  none.list.SelectRow(0);  // a selection is not enough
  ChangeDrivers(none);
  EXPECT_EQ(none.asked, Lines{kCheckFirst});
}

TEST(ReinstallDevices, UninstallsRebuildsAndScansTwice) {
  struct Case {
    std::vector<int> rows;
    const char16_t* failing;
    const char16_t* question;
    Lines lines;
  } cases[] = {
      {{1}, nullptr, u"Are you sure you want to reinstall the selected device?",
       {u"Adapter B was successfully uninstalled.", kReinstalled}},
      // One of two cannot be uninstalled: the scan still runs for the other.
      {{0, 1}, u"PCI\\B", u"Are you sure you want to reinstall the selected devices?",
       {u"Adapter B could not be uninstalled.", u"Adapter A was successfully uninstalled.", kReinstalled}},
  };
  for (const Case& c : cases) {
    ScriptedHost host(DriverPc());
    for (int row : c.rows) host.list.SetRowChecked(row, true);
    if (c.failing) host.platform.FailActionsOn(c.failing);
    ReinstallDevices(host, RowSource::kChecked);
    EXPECT_EQ(host.asked, Lines{c.question});
    EXPECT_TRUE(Called(host, u"open:Preparing to uninstall"));
    EXPECT_EQ(host.resultLines, c.lines);
    EXPECT_EQ(host.platform.Calls(PlatformCall::kReenumerateDevNode), 2u);
    EXPECT_TRUE(CallsStartingWith(host, u"progress-window:").empty());  // the scans are quiet
    EXPECT_TRUE(Called(host, u"progress:-1:Reinstalling the selected devices..."));
    // The devices are back in the list.
    EXPECT_EQ(host.list.RowCount(), 4);
  }
}

TEST(ReinstallDevices, NoScanAfterACancelOrWhenNothingWasUninstalled) {
  ScriptedHost cancelled(DriverPc());
  cancelled.list.SetAllChecked(true);
  cancelled.okPressedWhenWaiting = false;
  cancelled.onPump = [](ScriptedHost& h, int) {
    if (h.resultLines.size() == 1) h.SetCancelRequested(kCancelPressed);
  };
  ReinstallDevices(cancelled, RowSource::kChecked);
  EXPECT_EQ(cancelled.resultLines, Lines{u"Old printer was successfully uninstalled."});
  EXPECT_EQ(cancelled.platform.Calls(PlatformCall::kLocateDevNode), 0u);
  EXPECT_EQ(cancelled.rebuilds, 1);

  ScriptedHost failing(DriverPc());
  failing.list.SetRowChecked(0, true);
  failing.platform.FailActionsOn(u"PCI\\A");
  ReinstallDevices(failing, RowSource::kChecked);
  EXPECT_EQ(failing.resultLines, Lines{u"Adapter A could not be uninstalled."});
  EXPECT_EQ(failing.platform.Calls(PlatformCall::kLocateDevNode), 0u);
  EXPECT_EQ(failing.rebuilds, 0);
}

TEST(ReinstallDevices, ARootThatCannotBeFoundFailsTheReinstall) {
  ScriptedHost host(DriverPc());
  host.list.SelectRow(0);
  host.platform.SetRootLocateFails(true);
  ReinstallDevices(host, RowSource::kSelected);
  EXPECT_EQ(host.resultLines, (Lines{u"Adapter A was successfully uninstalled.", kNotReinstalled}));
  EXPECT_EQ(host.platform.Calls(PlatformCall::kLocateDevNode), 1u);  // no second scan
  EXPECT_EQ(host.rebuilds, 1);
}

TEST(ScanHardware, CompactWindowModesAndFailures) {
  SimulatedDevice missing = testing::MakeDevice(u"PCI\\N", u"New adapter", 28);
  missing.hardwareIds = {u"HW\\Adapter B"};
  struct Case {
    uint32_t mode;
    bool quiet;
    bool locateFails;
    bool result;
    const char16_t* status;  // the new adapter's status afterwards
  } cases[] = {
      {kCmReenumerateNormal, false, false, true, u"Error: Failed install"},
      {kCmReenumerateRetryInstallation, false, false, true, u"Working properly"},
      {kCmReenumerateRetryInstallation, true, false, true, u"Working properly"},
      {kCmReenumerateRetryInstallation, false, true, false, u"Error: Failed install"},
  };
  for (const Case& c : cases) {
    SimulatedPc pc = DriverPc();
    pc.devices.push_back(missing);
    ScriptedHost host(std::move(pc));
    host.platform.SetRootLocateFails(c.locateFails);
    EXPECT_EQ(ScanHardware(host, c.mode, c.quiet), c.result);
    const Lines window = c.quiet ? Lines{}
                                 : Lines{u"progress-window:Scanning for hardware changes...:400x60", u"progress:-80",
                                         u"show", u"close"};
    Lines dialogCalls;
    for (const auto& call : host.calls) {
      if (call.rfind(u"progress-window:", 0) == 0 || call.rfind(u"progress:", 0) == 0 || call == u"show" || call == u"close") {
        dialogCalls.push_back(call);
      }
    }
    EXPECT_EQ(dialogCalls, window);
    EXPECT_EQ(host.rebuilds, 0);
    host.RebuildInventory();
    EXPECT_EQ(host.list.CellText(4, 1).Str(), c.status);
  }
}

TEST(RescanAndRebuild, RebuildsWhateverTheScanAnswered) {
  for (bool fails : {false, true}) {
    ScriptedHost host(DriverPc());
    host.platform.SetRootLocateFails(fails);
    RescanAndRebuild(host, kCmReenumerateNormal);
    EXPECT_EQ(host.rebuilds, 1);
    EXPECT_EQ(host.calls.back(), u"rebuild");
  }
}

// Which operations raise the reboot flag when the platform says a restart is needed: the ones
// that uninstall or put drivers on devices, never the scans or the state changes.
TEST(RebootNeeded, SetByExactlyTheOperationsThatChangeDrivers) {
  struct Case {
    const char* name;
    bool sets;
    std::function<void(ScriptedHost&)> run;
  } cases[] = {
      {"uninstall", true, [](ScriptedHost& h) { UninstallDevices(h, RowSource::kChecked); }},
      {"uninstall not present", true, [](ScriptedHost& h) { UninstallAllNotPresent(h); }},
      {"delete drivers", true,
       [](ScriptedHost& h) {
         UninstallAndDeleteDrivers(h, RowSource::kChecked, [](const WideText&, uint32_t) { return 1; });
       }},
      {"delete drivers without the system's removal", true,
       [](ScriptedHost& h) {
         h.platform.SetHasUninstallDriver(false);
         UninstallAndDeleteDrivers(h, RowSource::kChecked, [](const WideText&, uint32_t) { return 1; });
       }},
      {"update", true, [](ScriptedHost& h) { UpdateDrivers(h, RowSource::kChecked); }},
      {"change", true,
       [](ScriptedHost& h) {
         h.list.SetAllChecked(false);
         h.list.SetRowChecked(1, true);
         h.infPicks = {u"oem3.inf"};
         ChangeDrivers(h);
       }},
      {"reinstall", true, [](ScriptedHost& h) { ReinstallDevices(h, RowSource::kChecked); }},
      {"scan", false, [](ScriptedHost& h) { RescanAndRebuild(h, kCmReenumerateNormal); }},
      {"scan and install", false, [](ScriptedHost& h) { RescanAndRebuild(h, kCmReenumerateRetryInstallation); }},
      {"disable", false, [](ScriptedHost& h) { DisableCheckedDevices(h); }},
      {"enable", false, [](ScriptedHost& h) { EnableCheckedDevices(h); }},
      {"restart", false, [](ScriptedHost& h) { RestartDevices(h, RowSource::kChecked); }},
  };
  for (const Case& c : cases) {
    for (bool platformSays : {false, true}) {
      ScriptedHost host(DriverPc());
      host.list.SetRowChecked(0, true);
      host.list.SetRowChecked(1, true);
      host.platform.SetNeedsReboot(platformSays);
      c.run(host);
      EXPECT_EQ(host.rebootNeeded, c.sets && platformSays) << c.name;
    }
  }
}

}  // namespace
}  // namespace pyr
