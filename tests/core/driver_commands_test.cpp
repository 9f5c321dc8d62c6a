// The uninstall, driver and rescan commands on a small PC with drivers.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "devices/device_columns.h"
#include "operations/device_batch.h"
#include "operations/driver_commands.h"
#include "operations/hardware_scan.h"
#include "operations/install_drivers_from_folder.h"
#include "operations/uninstall_commands.h"
#include "driverstore/removed_drivers.h"
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

TEST(UninstallDevices, NothingCheckedDeclinedAndFailedDevices) {
  ScriptedHost none(DriverPc());
  UninstallDevices(none, RowSource::kChecked);
  EXPECT_EQ(none.asked, Lines{kCheckFirst});
  EXPECT_EQ(none.calls.size(), 1u);

  ScriptedHost declined(DriverPc());
  declined.list.SetRowChecked(0, true);
  declined.answers = {0};
  UninstallDevices(declined, RowSource::kChecked);
  EXPECT_EQ(declined.calls, Lines{u"ask:Are you sure you want to uninstall the selected device?"});
  EXPECT_EQ(declined.platform.Calls(PlatformCall::kUninstallDevice), 0u);

  ScriptedHost failing(DriverPc());
  failing.platform.FailActionsOn(u"PCI\\B");
  failing.list.SetRowChecked(1, true);
  UninstallDevices(failing, RowSource::kChecked);
  EXPECT_EQ(failing.resultLines, Lines{u"Adapter B could not be uninstalled."});
  EXPECT_EQ(failing.rebuilds, 0);
}

TEST(UninstallAndDeleteDrivers, QuestionAndLinesForOneAndSeveralRows) {
  testing::TempFolder temp;
  ScriptedHost one(DriverPc());
  testing::UseFolders(one, temp);
  one.list.SelectRow(0);
  UninstallAndDeleteDrivers(one, RowSource::kSelected);
  EXPECT_NE(one.asked.at(0).find(u"for the selected device after"), std::u16string::npos);
  EXPECT_EQ(ProgressTexts(one), Lines{u"Removing driver for Adapter A (1 of 1)..."});
  EXPECT_EQ(one.resultLines, Lines{u"The driver for Adapter A was successfully uninstalled and its driver package removed."});
  EXPECT_EQ(one.platform.Pc().driverStore.size(), 2u);
  // The package was copied first, into one batch folder the final text names.
  const WideText removed = RemovedDriversFolder(temp.Path(u"ProgramData"));
  DirectoryIterator batch;
  ASSERT_TRUE(batch.Open(Concat({removed, u"\\*"})));
  EXPECT_EQ(temp.Tree(removed), std::vector<std::string>{batch.Name().ToUtf8() + "/Net/Adapter A - 1.0/neta.inf"});
  EXPECT_EQ(CallsStartingWith(one, u"progress:100:"),
            Lines{u"progress:100:Operation complete. Results are displayed in the list above.\r\nA copy of each "
                  u"removed driver package is kept in " + Concat({removed, u"\\", batch.Name()}).Str()});

  // Adapter C's INF is the system's own, and the printer has no INF at all.
  ScriptedHost several(DriverPc());
  testing::UseFolders(several, temp);
  several.list.SetAllChecked(true);
  UninstallAndDeleteDrivers(several, RowSource::kChecked);
  EXPECT_NE(several.asked[0], one.asked[0]);  // the question names several devices
  EXPECT_EQ(several.resultLines, (Lines{u"The driver for Old printer could not be uninstalled.",
                                        u"The driver for Adapter C could not be uninstalled.",
                                        u"The driver for Adapter B was successfully uninstalled and its driver package removed.",
                                        u"The driver for Adapter A was successfully uninstalled and its driver package removed."}));
  // Adapter B's other version of netb.inf stays: a package is named by its published name.
  ASSERT_EQ(several.platform.Pc().driverStore.size(), 1u);
  EXPECT_EQ(several.platform.Pc().driverStore[0].publishedName, u"oem3.inf");
}

// --- Package removal and devices removed with their parent ---

// Only a package the system published (oem<digits>.inf) is asked for, after its device went, and
// never by force. A package that another device uses, present or not, stays: its device goes all
// the same (and so does its row), no copy is kept, and the line says why. A link in place of the
// program's folder is renamed aside: the copy goes to a new folder, and nothing is written behind
// the link. (Wine would rename the link's target: there the link stays and the package with it.)
TEST(UninstallAndDeleteDrivers, OnlyPublishedPackagesThatNoOtherDeviceUses) {
  constexpr char16_t kRemoved[] = u"The driver for Adapter A was successfully uninstalled and its driver package removed.";
  constexpr char16_t kStays[] = u"Adapter A was uninstalled; its driver package stays because 1 other device uses it.";
  constexpr char16_t kKept[] = u"Adapter A was uninstalled; Windows kept its driver package in the driver store.";
  constexpr char16_t kNot[] = u"The driver for Adapter A could not be uninstalled.";
  const struct {
    const char16_t* inf;
    bool twinUsesIt;  // a device not present installed from the same package
    const char16_t* line;
    bool linked = false;
  } cases[] = {
#ifdef _WIN32
      {u"oem1.inf", false, kNot, true},
#else
      {u"oem1.inf", false, kRemoved, true},
#endif
      {u"oem1.inf", false, kRemoved},  {u"OEM1.INF", false, kRemoved},
      {u"oem1.inf", true, kStays},          {u"oem10.inf", false, kKept},    {u"net.inf", false, kNot},
      {u"oem.inf", false, kNot},            {u"oem1a.inf", false, kNot},     {u"net1.inf", false, kNot},
      {u"oem1.pnf", false, kNot},           {u"C:\\Windows\\INF\\oem1.inf", false, kNot}, {u"", false, kNot},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(WideText(c.inf).ToUtf8());
    SimulatedPc pc = DriverPc();
    if (c.twinUsesIt) pc.devices.push_back(testing::WithDriver(testing::MakeDevice(u"PCI\\A2", u"Twin", 0, false), u"oem1.inf", 2020, u"1.0"));
    ScriptedHost host(std::move(pc));
    testing::TempFolder temp;
    testing::UseFolders(host, temp);
    ASSERT_TRUE(!c.linked || temp.Link(temp.Path(u"ProgramData\\Pyravel"), temp.Path(u"DriverStore")));
    host.list.SetCellText(0, kColumnInfPath, c.inf);
    host.list.SelectRow(0);
    UninstallAndDeleteDrivers(host, RowSource::kSelected);
    const bool removed = c.line == kRemoved, gone = c.line != kNot;
    EXPECT_EQ(host.resultLines, Lines{c.line});
    EXPECT_EQ(host.asked.at(0).find(u"stays in the driver store") != std::u16string::npos, c.twinUsesIt);
    EXPECT_EQ(host.platform.FindDevice(u"PCI\\A")->uninstalled, gone);
    EXPECT_EQ(host.rebuilds, gone ? 1 : 0);
    EXPECT_EQ(host.platform.Pc().driverStore.size(), removed ? 2u : 3u);
    // Only a removed package keeps its copy.
    EXPECT_EQ(temp.Tree(temp.Path(u"ProgramData")).size(), removed ? 1u : 0u);
    EXPECT_EQ(temp.Tree(temp.Path(u"DriverStore")).size(), removed ? 1u : 2u);  // netb.inf's two share one
  }
}

// Twins that use one package, both ticked: the package goes after the second, and its copy is
// made once. A software device's row is named in the question: no scan brings it back.
TEST(UninstallAndDeleteDrivers, TwinsTakeTheirPackageWithTheLastAndSoftwareDevicesAreNamed) {
  SimulatedPc pc = DriverPc();
  pc.devices.push_back(testing::WithDriver(testing::MakeDevice(u"PCI\\A2", u"Twin A"), u"oem1.inf", 2020, u"1.0"));
  pc.devices.push_back(testing::WithDriver(testing::MakeDevice(u"SWD\\RAS\\1", u"RAS adapter"), u"oem1.inf", 2020, u"1.0"));
  ScriptedHost host(std::move(pc));
  testing::TempFolder temp;
  testing::UseFolders(host, temp);
  for (int row : {0, 4, 5}) host.list.SetRowChecked(row, true);
  UninstallAndDeleteDrivers(host, RowSource::kChecked);
  EXPECT_NE(host.asked.at(0).find(u"One of them is a device that Windows itself creates (ROOT\\ or SWD\\)"),
            std::u16string::npos);
  EXPECT_EQ(host.resultLines, (Lines{u"The driver for RAS adapter was successfully uninstalled.",
                                     u"The driver for Twin A was successfully uninstalled.",
                                     u"The driver for Adapter A was successfully uninstalled and its driver package removed."}));
  EXPECT_EQ(host.platform.Pc().driverStore.size(), 2u);
  EXPECT_EQ(temp.Tree(temp.Path(u"ProgramData")).size(), 1u);
}

// The last twenty batches are kept, the oldest deleted first; a folder of another name and a link
// with a batch's name (a standard user's, to anything) are neither deleted nor entered.
TEST(RemovedDriverCopies, KeepTheLastBatchesAndNothingElse) {
  const struct {
    std::vector<WideText> names;
    const char16_t* current;
    std::vector<WideText> pruned;  // keeping 2
  } cases[] = {
      {{u"2026-01-02 00-00-00", u"notes", u"2026-01-01 00-00-00", u"2026-1-03 00-00-00", u"2026-01-01 00-00-00x",
        u"-026-01-01 00-00-00", u"2026-01-01 00:00:00"},
       u"2026-01-03 00-00-00", {u"2026-01-01 00-00-00"}},
      {{u"2026-01-01 00-00-01", u"2025-12-31 23-59-59", u"2026-01-01 00-00-00"}, u"", {u"2025-12-31 23-59-59"}},
      // A clock put back: the current batch is kept all the same.
      {{u"2028-01-01 00-00-00", u"2027-01-01 00-00-00"}, u"2026-01-01 00-00-00", {u"2027-01-01 00-00-00"}},
  };
  for (const auto& c : cases) EXPECT_EQ(BatchesToPrune(c.names, 2, c.current), c.pruned) << c.names[0].ToUtf8();

  testing::TempFolder temp;
  ScriptedHost host(DriverPc());
  testing::UseFolders(host, temp);
  const WideText removed = RemovedDriversFolder(temp.Path(u"ProgramData"));
  for (int day = 10; day <= 30; ++day) {
    CreateDirectoryTree(Concat({removed, u"\\2025-01-", WideText::FromInt32(day), u" 00-00-00\\Net"}));
  }
  CreateDirectoryTree(Concat({removed, u"\\notes"}));
  temp.Write(temp.Path(u"victim\\2025-01-01 00-00-00\\kept.txt"), "kept");
  ASSERT_TRUE(temp.Link(Concat({removed, u"\\2025-01-01 00-00-00"}), temp.Path(u"victim\\2025-01-01 00-00-00")));
  host.list.SelectRow(0);
  UninstallAndDeleteDrivers(host, RowSource::kSelected);
  std::vector<std::string> left;
  DirectoryIterator it;
  for (bool more = it.Open(Concat({removed, u"\\*"})); more; more = it.Next()) left.push_back(it.Name().ToUtf8());
  std::sort(left.begin(), left.end());
  ASSERT_EQ(left.size(), 22u);
  EXPECT_EQ(left.front(), "2025-01-01 00-00-00");  // the link
  EXPECT_EQ(left[1], "2025-01-12 00-00-00");       // the 19 newest earlier batches
  EXPECT_EQ(left.back(), "notes");
  EXPECT_EQ(temp.Tree(temp.Path(u"victim")), std::vector<std::string>{"2025-01-01 00-00-00/kept.txt"});
}

// A program folder a standard user made first (another owner, or others may write to it) is
// renamed aside: nothing in it is pruned or offered, and the copy goes to a new folder of the
// program's own. Where it cannot be renamed, nothing is removed and the refusal says why.
TEST(RemovedDriverCopies, AFolderAStandardUserMadeIsNeverReused) {
  const struct {
    const char16_t* level;
    bool otherOwner;  // or else: others may write
    bool asideTaken = false;
  } cases[] = {
#ifndef _WIN32  // Wine keeps no owner: every file shows the Unix user's
      {u"Pyravel", true},
#endif
      {u"Pyravel", false}, {u"Pyravel\\Removed drivers", false}, {u"Pyravel", false, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(WideText(c.level).ToUtf8() + (c.otherOwner ? " owner" : " writable"));
    testing::TempFolder temp;
    ScriptedHost host(DriverPc());
    testing::UseFolders(host, temp);
    const WideText programData = temp.Path(u"ProgramData");
    const WideText planted = Concat({programData, u"\\", c.level});
    for (int day = 10; day <= 31; ++day) {
      temp.Write(Concat({RemovedDriversFolder(programData), u"\\2025-01-", WideText::FromInt32(day), u" 00-00-00\\x.inf"}), "x");
    }
    for (int i = 1; c.asideTaken && i <= 20; ++i) {
      ASSERT_TRUE(CreateDirectoryTree(Concat({planted, u" (untrusted ", WideText::FromInt32(i), u")"})));
    }
    ASSERT_TRUE(c.otherOwner ? testing::GiveToAnotherUser(planted) : testing::LetOthersWrite(planted));
    EXPECT_TRUE(RemovedDriversFolder(programData).Empty());  // nothing to restore from there
    RestoreRemovedDrivers(host);
    EXPECT_TRUE(host.folderStarts.empty());

    RemovalCopies copies(programData, CalendarTime{2026, 3, 0, 4, 5, 6, 7});
    DeviceInfo device;
    ASSERT_TRUE(host.platform.EnumDeviceInfo(host.InventorySet(), 0, &device));
    WideText copy;
    EXPECT_EQ(copies.Copy(host.platform, host.InventorySet(), device, &copy), !c.asideTaken);
    EXPECT_EQ(copies.Refusal(), c.asideTaken ? ProgramFolderRefusedLine(planted) : WideText());
    const WideText batch = copies.Finish();
    EXPECT_EQ(temp.Tree(programData).size(), c.asideTaken ? 22u : 23u);  // no planted batch was pruned
    if (c.asideTaken) {
      // The removal that needs the folder says why nothing was removed.
      host.list.SelectRow(0);
      UninstallAndDeleteDrivers(host, RowSource::kSelected);
      EXPECT_TRUE(Called(host, Concat({u"progress:100:", kOperationComplete, u"\r\n", ProgramFolderRefusedLine(planted)}).Str()));
      EXPECT_FALSE(host.platform.FindDevice(u"PCI\\A")->uninstalled);
      continue;
    }
    EXPECT_TRUE(IsRealDirectory(Concat({planted, u" (untrusted 1)"})));
    EXPECT_EQ(temp.Tree(RemovedDriversFolder(programData)), std::vector<std::string>{"2026-03-04 05-06-07/Net/Adapter A - 1.0/neta.inf"});
    EXPECT_EQ(batch, Concat({RemovedDriversFolder(programData), u"\\2026-03-04 05-06-07"}));
  }
}

// DiUninstallDevice takes a device's children with it, present or not: a child met after its
// parent is unknown to the system and counts as uninstalled; a device the system still knows,
// even one not present, that could not be removed stays a failure.
TEST(UninstallDevices, AChildThatWentWithItsParentCountsAsUninstalled) {
  SimulatedDevice hub = testing::MakeDevice(u"USB\\HUB", u"Hub", 0, false);
  SimulatedDevice stick = testing::MakeDevice(u"USB\\STICK", u"Stick", 0, false);
  stick.parent = u"USB\\HUB";
  const SimulatedDevice stuck = testing::MakeDevice(u"USB\\STUCK", u"Stuck", 0, false);
  // Rows go last to first, the set's devices first to last: the hub comes before the stick.
  ScriptedHost ticked(testing::SmallPc({stick, hub, stuck}));
  ScriptedHost ghosts(testing::SmallPc({hub, stick, stuck}));
  for (ScriptedHost* host : {&ticked, &ghosts}) host->platform.FailActionsOn(u"USB\\STUCK");
  ticked.list.SetAllChecked(true);
  UninstallDevices(ticked, RowSource::kChecked);
  EXPECT_EQ(ticked.resultLines, (Lines{u"Stuck could not be uninstalled.", u"Hub was successfully uninstalled.",
                                       u"Stick was successfully uninstalled."}));
  EXPECT_EQ(UninstallAllNotPresent(ghosts), 2);
  EXPECT_EQ(ghosts.resultLines, (Lines{u"Hub was successfully uninstalled.", u"Stick was successfully uninstalled.",
                                       u"Stuck could not be Uninstalled."}));
}

TEST(UninstallAllNotPresent, FinalTextCountsAndCancel) {
  struct Case {
    int absentDevices;
    int cancelAfter;  // 0: never
    int failing;      // how many of them fail
    const char16_t* summary;
    int result, rebuilds;
  } cases[] = {
      {1, 0, 0, u"Operation complete. 1 device uninstalled.", 1, 1},
      {3, 2, 0, u"Operation cancelled. 2 devices uninstalled.", 2, 1},
      {0, 0, 0, u"Operation complete. 0 devices uninstalled.", 0, 0},
      {2, 0, 1, u"Operation complete. 1 device uninstalled.", 1, 1},
  };
  for (const Case& c : cases) {
    std::vector<SimulatedDevice> devices = {testing::MakeDevice(u"PCI\\A", u"Adapter A")};
    for (int i = 0; i < c.absentDevices; ++i) {
      devices.push_back(testing::MakeDevice(Concat({u"USB\\", WideText::FromInt32(i)}).Buffer(),
                                            Concat({u"Gone ", WideText::FromInt32(i)}).Buffer(), 0, false));
    }
    ScriptedHost host(testing::SmallPc(devices));
    if (c.failing) host.platform.FailActionsOn(u"USB\\0");
    host.okPressedWhenWaiting = c.cancelAfter == 0;
    host.onPump = [&c](ScriptedHost& h, int mode) {
      EXPECT_TRUE(mode == kPumpPendingRefreshing || mode == kPumpRefreshing);
      if (c.cancelAfter && std::ssize(h.resultLines) == c.cancelAfter) h.SetCancelRequested(kCancelPressed);
    };
    EXPECT_EQ(UninstallAllNotPresent(host), c.result);
    EXPECT_TRUE(Called(host, Concat({u"progress:100:", c.summary}).Str())) << c.absentDevices;
    EXPECT_EQ(host.rebuilds, c.rebuilds);
    EXPECT_EQ(host.calls.back(), u"close");
    EXPECT_EQ(host.platform.OpenSets(), 1u);  // only the list's own set is left open
    if (c.failing) {
      EXPECT_EQ(host.resultLines, (Lines{u"Gone 0 could not be Uninstalled.", u"Gone 1 was successfully uninstalled."}));
    }
  }
}

TEST(UninstallAllNotPresent, DeclinedOpensNoDialogAndAnUnnamedDeviceIsUnknown) {
  ScriptedHost declined(DriverPc());
  declined.answers = {0};
  EXPECT_EQ(UninstallAllNotPresent(declined), -1);
  EXPECT_EQ(declined.calls, Lines{u"ask:Are you sure you want to uninstall all devices not present?\n\n1 device."});

  SimulatedDevice unnamed = testing::MakeDevice(u"USB\\X", u"x", 0, false);
  unnamed.name.reset();
  ScriptedHost host(testing::SmallPc({unnamed}));
  EXPECT_EQ(UninstallAllNotPresent(host), 1);
  EXPECT_EQ(ProgressTexts(host), Lines{u"Uninstalling Unknown device..."});
  EXPECT_EQ(host.resultLines, Lines{u"Unknown device was successfully uninstalled."});

  ScriptedHost noSet(DriverPc());
  noSet.platform.SetOpenSetFails(true);
  EXPECT_EQ(UninstallAllNotPresent(noSet), 0);
  EXPECT_TRUE(Called(noSet, u"progress:100:Operation complete. 0 devices uninstalled."));
}

// An INF on disk in a folder of its own, for Adapter B unless told otherwise, marked
// ExcludeFromSelect.
std::u16string WriteInf(const char* folderName, const char* name, const char* driverVer,
                        const char* hardwareId = "HW\\Adapter B") {
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / folderName;
  std::filesystem::create_directories(folder);
  const std::filesystem::path path = folder / name;
  std::ofstream(path) << "; picked by the user\n[Version]\nSignature=\"$Windows NT$\"\nClass=Net\n"
                      << "Provider=%Maker%\nDriverVer = " << driverVer << "\n\n[Manufacturer]\n"
                      << "%Maker%=Models,NTamd64\n\n[Models.NTamd64]\n"
                      << "%Desc% = Install, " << hardwareId << ", PCI\\CC_0200\n\n[Strings]\nMaker=\"Maker\"\n"
                      // As display drivers must: listed for a device only when excluded drivers are asked for.
                      << "[ControlFlags]\nExcludeFromSelect=*\n";
  return path.u16string();
}

// Whether a row of that name is listed, and ticking it when asked.
bool Listed(ScriptedHost& host, const char16_t* name, bool tick = false) {
  bool found = false;
  for (int row = 0; row < host.list.RowCount(); ++row) {
    if (host.list.CellText(row, 0) != name) continue;
    found = true;
    if (tick) host.list.SetRowChecked(row, true);
  }
  return found;
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

// The INF is judged where it lies: a driver that ranks no better is offered to force, one that
// does not fit at all is not, and only a driver that goes on reaches the store. A newer driver
// that matches only a compatible ID ranks below the hardware-ID match installed. A package staged
// for an install that then failed goes again.
TEST(ChangeDrivers, AnOlderDriverOnlyWhenForcedAndNoneThatDoesNotFit) {
  const std::u16string older = WriteInf("pyravel_change_driver", "older.inf", "01/01/2019,1.0");
  const std::u16string other = WriteInf("pyravel_change_driver", "other.inf", "03/01/2024,3.0", "HW\\Other");
  const std::u16string generic = WriteInf("pyravel_change_driver", "generic.inf", "03/01/2024,3.0", "HW\\Other");
  const std::u16string newer = WriteInf("pyravel_change_driver", "newer.inf", "03/01/2024,3.0");
  struct Case {
    std::u16string pick;
    std::deque<int> answers;  // to the force question
    Lines asked, lines;
    const char16_t* version;  // Adapter B's driver version afterwards
    size_t storeAfter = 3;
    bool installFails = false;
    bool compatible = false;  // Adapter B has the compatible ID every written INF lists
  } cases[] = {
      {older, {0}, {kForceDriverQuestion}, {u"The driver for Adapter B could not be changed."}, u"2.0"},
      {older, {1}, {kForceDriverQuestion}, {u"The driver for Adapter B was successfully changed."}, u"1.0", 4},
      // No driver of the INF fits: nothing to force.
      {other, {}, {}, {u"The driver for Adapter B could not be changed."}, u"2.0"},
      {generic, {0}, {kForceDriverQuestion}, {u"The driver for Adapter B could not be changed."}, u"2.0", 3, false, true},
      {newer, {}, {}, {u"The driver for Adapter B could not be changed."}, u"2.0", 3, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(WideText(c.pick).ToUtf8());
    SimulatedPc pc = DriverPc();
    if (c.compatible) pc.devices[1].compatibleIds = {u"PCI\\CC_0200"};
    ScriptedHost host(std::move(pc));
    host.list.SetRowChecked(1, true);
    host.infPicks = {c.pick};
    host.answers = c.answers;
    if (c.installFails) host.platform.FailNextCall(PlatformCall::kInstallDevice, kErrorGenFailure);
    ChangeDrivers(host);
    EXPECT_EQ(host.asked, c.asked);
    EXPECT_EQ(host.resultLines, c.lines);
    EXPECT_EQ(host.rebuilds, c.lines.size() == 1 && c.version != std::u16string(u"2.0") ? 1 : 0);
    EXPECT_EQ(host.platform.FindDevice(u"PCI\\B")->driverVersion, c.version);
    EXPECT_EQ(host.platform.Pc().driverStore.size(), c.storeAfter);
  }
}

// The chosen INF goes on the ticked device alone: its twin of the same hardware ID keeps its
// driver. A ticked row that is not present gets its failure line without a file to pick, and a
// cancelled pick still leaves the next device its own.
TEST(ChangeDrivers, OnlyTheTickedDeviceTakesTheDriver) {
  SimulatedPc pc = DriverPc();
  pc.devices.push_back(testing::WithDriver(testing::MakeDevice(u"PCI\\B2", u"Adapter B"), u"oem2.inf", 2020, u"2.0"));
  SimulatedDevice absent = testing::WithDriver(testing::MakeDevice(u"PCI\\B3", u"Absent B", 0, false), u"oem2.inf", 2020, u"2.0");
  absent.hardwareIds = {u"HW\\Adapter B"};
  pc.devices.push_back(absent);
  ScriptedHost host(std::move(pc));
  for (int row : {1, 2, 5}) host.list.SetRowChecked(row, true);
  host.infPicks = {u"", WriteInf("pyravel_change_driver", "newer.inf", "03/01/2024,3.0")};
  ChangeDrivers(host);
  EXPECT_EQ(ProgressTexts(host), (Lines{u"Changing driver for Absent B (1 of 3)...", u"Changing driver for Adapter C (2 of 3)...",
                                        u"Changing driver for Adapter B (3 of 3)..."}));
  EXPECT_EQ(CallsStartingWith(host, u"pick:"), (Lines{u"pick:Select driver INF file for Adapter C",
                                                       u"pick:Select driver INF file for Adapter B"}));
  EXPECT_EQ(host.resultLines, (Lines{u"The driver for Absent B could not be changed.",
                                     u"The driver for Adapter B was successfully changed."}));
  for (auto [id, version] : {std::pair{u"PCI\\B", u"3.0"}, {u"PCI\\B2", u"2.0"}, {u"PCI\\B3", u"2.0"}}) {
    EXPECT_EQ(host.platform.FindDevice(id)->driverVersion, version) << WideText(id).ToUtf8();
  }
  EXPECT_EQ(host.platform.LastInstallParent().value, ScriptedHost::kDialogWindow);

  ScriptedHost none(DriverPc());
  none.list.SelectRow(0);  // a selection is not enough
  ChangeDrivers(none);
  EXPECT_EQ(none.asked, Lines{kCheckFirst});
}

// Install from folder: the progress window owns the installs, so the system's prompts come in
// front; a package counts only when a device took it, not when the system only stored it.
TEST(InstallDriversFromFolder, CountsWhatDevicesTookAndOwnsThePrompts) {
  ScriptedHost host(DriverPc());
  host.platform.FindDevice(u"PCI\\B")->needsRestart = true;
  WriteInf("pyravel_install_folder", "newer.inf", "03/01/2024,3.0");
  WriteInf("pyravel_install_folder", "older.inf", "01/01/2019,1.0");
  const std::u16string other = WriteInf("pyravel_install_folder", "other.inf", "03/01/2024,3.0", "HW\\Other");
  const std::u16string folder = other.substr(0, other.size() - 10);
  host.folderPicks = {folder};
  EXPECT_EQ(InstallDriversFromFolder(host), 1);
  EXPECT_EQ(host.asked, Lines{u"The operation succeeded. One driver was installed from " + folder});
  EXPECT_EQ(host.platform.FindDevice(u"PCI\\B")->driverVersion, u"3.0");
  EXPECT_EQ(host.platform.Pc().driverStore.size(), 6u);  // all three went into the store
  EXPECT_EQ(host.platform.LastInstallParent().value, ScriptedHost::kDialogWindow);
  EXPECT_TRUE(host.rebootNeeded);
}

// Restoring offers the newest batch of copies, and only once a removal made one; the packages
// put back, the hardware is scanned so that what is connected takes them again.
TEST(RestoreRemovedDrivers, OpensThePickerAtTheNewestBatchAndScansAfterwards) {
  testing::TempFolder temp;
  ScriptedHost host(DriverPc());
  testing::UseFolders(host, temp);
  EXPECT_EQ(RestoreRemovedDrivers(host), -1);
  EXPECT_EQ(host.asked.size(), 1u);
  EXPECT_TRUE(host.folderStarts.empty());
  const WideText removed = RemovedDriversFolder(temp.Path(u"ProgramData"));
  for (const char16_t* batch : {u"\\2026-02-01 00-00-00", u"\\2026-01-01 00-00-00", u"\\notes"}) {
    ASSERT_TRUE(CreateDirectoryTree(Concat({removed, batch})));
  }
  const WideText newest = Concat({removed, u"\\2026-02-01 00-00-00"});
  const std::u16string inf = WriteInf("pyravel_restore", "newer.inf", "03/01/2024,3.0");
  host.folderPicks = {inf.substr(0, inf.size() - 10)};
  EXPECT_EQ(RestoreRemovedDrivers(host), 1);
  EXPECT_EQ(host.folderStarts, std::vector<std::u16string>{newest.Str()});
  EXPECT_EQ(host.platform.Calls(PlatformCall::kReenumerateDevNode), 1u);
  EXPECT_NE(host.asked.back().find(u"One driver package was put back"), std::u16string::npos);
}

// A ROOT\ or SWD\ device is reinstalled where it is and never removed, since nothing would
// bring it back; the others are removed, and the reinstall succeeds only when each is found again
// once the installs the rescan started have ended.
TEST(ReinstallDevices, RootDevicesInPlaceOthersOnlyWhenFoundAgain) {
  struct Case {
    const char* what;
    std::initializer_list<const char16_t*> ticked;
    std::function<void(ScriptedHost&)> setUp;
    Lines lines;
    uint64_t uninstalls;
    bool listedAfter;
  } cases[] = {
      {"in place", {u"WAN Miniport", u"RAS adapter"}, [](ScriptedHost&) {}, {kReinstalled}, 0, true},
      {"an install that ends after a while", {u"Adapter B"},
       [](ScriptedHost& h) { h.platform.FindDevice(u"PCI\\B")->installDelayMs = 30; },
       {u"Adapter B was successfully uninstalled.", kReinstalled}, 1, true},
      {"an install that never ends", {u"Adapter B"},
       [](ScriptedHost& h) { h.platform.FindDevice(u"PCI\\B")->installDelayMs = -1; },
       {u"Adapter B was successfully uninstalled.", u"Adapter B is still being installed."}, 1, false},
      // The wait ends only when nothing is pending on the whole PC: the device is back all the same.
      {"another device's install never ends", {u"Adapter B"},
       [](ScriptedHost& h) {
         SimulatedDevice* c = h.platform.FindDevice(u"PCI\\C");
         c->uninstalled = true, c->installedAtMs = INT64_MAX;
       },
       {u"Adapter B was successfully uninstalled.", kReinstalled}, 1, true},
      {"removed at the next restart", {u"Adapter B"},
       [](ScriptedHost& h) { h.platform.FindDevice(u"PCI\\B")->needsRestart = true; },
       {u"Adapter B was successfully uninstalled.", u"Adapter B will be reinstalled after a restart."}, 1, true},
      {"not present: never found again", {u"Old printer"}, [](ScriptedHost&) {},
       {u"Old printer was successfully uninstalled.", u"Old printer was not reinstalled.", kNotReinstalled}, 1, false},
      {"in place, not present", {u"WAN Miniport"},
       [](ScriptedHost& h) { h.platform.FindDevice(u"ROOT\\NET\\0000")->present = false; }, {kNotReinstalled}, 0,
       true},
      {"no root to rescan", {u"Adapter A"}, [](ScriptedHost& h) { h.platform.SetRootLocateFails(true); },
       {u"Adapter A was successfully uninstalled.", u"Adapter A was not reinstalled.", kNotReinstalled}, 1, false},
      {"one of two not uninstalled", {u"Adapter A", u"Adapter B"},
       [](ScriptedHost& h) { h.platform.FailActionsOn(u"PCI\\B"); },
       {u"Adapter B could not be uninstalled.", u"Adapter A was successfully uninstalled.", kReinstalled}, 2, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SimulatedPc pc = DriverPc();
    pc.devices.push_back(testing::WithDriver(testing::MakeDevice(u"ROOT\\NET\\0000", u"WAN Miniport"), u"netrasa.inf", 2006, u"10.0"));
    pc.devices.push_back(testing::WithDriver(testing::MakeDevice(u"SWD\\RAS\\1", u"RAS adapter"), u"netrasa.inf", 2006, u"10.0"));
    ScriptedHost host(std::move(pc));
    c.setUp(host);
    for (const char16_t* name : c.ticked) Listed(host, name, true);
    ReinstallDevices(host, RowSource::kChecked);
    EXPECT_EQ(host.asked, Lines{c.ticked.size() == 1 ? u"Are you sure you want to reinstall the selected device?"
                                                     : u"Are you sure you want to reinstall the selected devices?"});
    EXPECT_EQ(host.resultLines, c.lines);
    EXPECT_EQ(host.platform.Calls(PlatformCall::kUninstallDevice), c.uninstalls);
    EXPECT_TRUE(CallsStartingWith(host, u"progress-window:").empty());  // the scans are quiet
    for (const char16_t* name : c.ticked) EXPECT_EQ(Listed(host, name), c.listedAfter) << WideText(name).ToUtf8();
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
  EXPECT_EQ(failing.platform.Calls(PlatformCall::kReenumerateDevNode), 0u);
  EXPECT_EQ(failing.rebuilds, 0);
}

TEST(ScanHardware, CompactWindowModesAndFailures) {
  SimulatedDevice missing = testing::MakeDevice(u"PCI\\N", u"New adapter", 28);
  missing.hardwareIds = {u"HW\\Adapter B"};
  struct Case {
    uint32_t mode;
    bool quiet, locateFails, result;
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
    // The compact window unless quiet, and nothing else: no rebuild of its own.
    EXPECT_EQ(host.calls, (c.quiet ? Lines{}
                                   : Lines{u"progress-window:Scanning for hardware changes...:400x60", u"progress:-80",
                                           u"show", u"close"}));
    host.RebuildInventory();
    EXPECT_EQ(host.list.CellText(4, 1).Str(), c.status);
  }
}

// The list is rebuilt whatever the scan answered; a scan brings back removed hardware, but no
// root-enumerated device, which no bus reports.
TEST(RescanAndRebuild, RebuildsWhateverTheScanAnsweredAndBringsBackHardwareOnly) {
  for (bool fails : {false, true}) {
    SimulatedPc pc = DriverPc();
    pc.devices.push_back(testing::MakeDevice(u"ROOT\\NET\\0000", u"WAN Miniport"));
    ScriptedHost host(std::move(pc));
    host.list.SetRowChecked(0, true);
    host.list.SetRowChecked(4, true);
    UninstallDevices(host, RowSource::kChecked);
    host.platform.SetRootLocateFails(fails);
    RescanAndRebuild(host, kCmReenumerateNormal);
    EXPECT_EQ(host.rebuilds, 2);
    EXPECT_EQ(host.calls.back(), u"rebuild");
    EXPECT_EQ(Listed(host, u"Adapter A"), !fails);
    EXPECT_FALSE(Listed(host, u"WAN Miniport"));
  }
}

// Which operations raise the reboot flag when the platform says a restart is needed: the ones
// that uninstall, put drivers on devices or change their state, never the scans.
TEST(RebootNeeded, SetByExactlyTheOperationsThatChangeDevices) {
  struct Case {
    const char* name;
    bool sets;
    std::function<void(ScriptedHost&)> run;
  } cases[] = {
      {"uninstall", true, [](ScriptedHost& h) { UninstallDevices(h, RowSource::kChecked); }},
      {"uninstall not present", true, [](ScriptedHost& h) { UninstallAllNotPresent(h); }},
      {"delete drivers", true,
       [](ScriptedHost& h) { testing::TempFolder t; testing::UseFolders(h, t); UninstallAndDeleteDrivers(h, RowSource::kChecked); }},
      {"update", true, [](ScriptedHost& h) { UpdateDrivers(h, RowSource::kChecked); }},
      {"change", true,
       [](ScriptedHost& h) {
         h.list.SetRowChecked(0, false);
         h.infPicks = {WriteInf("pyravel_reboot", "newer.inf", "03/01/2024,3.0")};
         ChangeDrivers(h);
       }},
      {"reinstall", true, [](ScriptedHost& h) { ReinstallDevices(h, RowSource::kChecked); }},
      {"scan", false, [](ScriptedHost& h) { RescanAndRebuild(h, kCmReenumerateNormal); }},
      {"scan and install", false, [](ScriptedHost& h) { RescanAndRebuild(h, kCmReenumerateRetryInstallation); }},
      {"enable", true, [](ScriptedHost& h) { EnableCheckedDevices(h); }},
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
